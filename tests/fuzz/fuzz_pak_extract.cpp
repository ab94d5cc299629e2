// Any bytes as data.pak: every member the directory lists is extracted to the
// temporary member file; failures must be Errors, never crashes.
#include <cstring>

#include "FuzzArchive.h"
#include "archive/Archive.h"
#include "core/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    enterFuzzScratch("extract");
    writeArchive("data.pak", data, size);

    PakArchive pak;
    try {
        pak.open("data.pak");
    } catch (const Error& error) {
        if (strncmp(error.text, "Cannot Load PAK: 'data.pak'", 27) != 0)
            abort();
        return 0;
    }
    forEachMember("data.pak", [&pak](const char* name) {
        char path[1024];
        try {
            pak.extractToTemp(path, name);
        } catch (const Error&) {
            // A damaged member is reported by name; nothing else to check here.
        }
    });
    pak.close();
    return 0;
}
