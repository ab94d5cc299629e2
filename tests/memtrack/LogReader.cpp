#include "LogReader.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

namespace memtrack_test {

static long fileLength(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0 ? static_cast<long>(info.st_size) : 0;
}

LogMark::LogMark() : start(fileLength("memory.log")) {}

long LogMark::lengthNow() const
{
    return fileLength("memory.log");
}

std::vector<std::string> LogMark::linesSince() const
{
    // Read into malloc'd memory first: the new bytes must be taken before
    // any std::string allocates and appends more lines.
    long end = fileLength("memory.log");
    long count = end > start ? end - start : 0;
    char* bytes = static_cast<char*>(malloc(count + 1));
    long got = 0;
    if (FILE* log = fopen("memory.log", "rb")) {
        if (fseek(log, start, SEEK_SET) == 0)
            got = static_cast<long>(fread(bytes, 1, count, log));
        fclose(log);
    }
    bytes[got] = '\0';
    std::string text(bytes, got);
    free(bytes);
    return splitCrLf(text);
}

std::string unknownOwner(const char* lineText)
{
    return std::string("??") + "(" + lineText + ")::" + "??";
}

std::string pointerText(const void* pointer)
{
    // Through a variable: the compiler would flag the zero flag with %p,
    // which glibc accepts and the log uses.
    static const char* volatile format = "%010p";
    char text[64];
    snprintf(text, sizeof(text), format, pointer);
    return text;
}

void* opaque(void* pointer)
{
    void* volatile hidden = pointer;
    return hidden;
}

std::string fileText(const char* path)
{
    std::string text;
    if (FILE* file = fopen(path, "rb")) {
        char chunk[4096];
        size_t got;
        while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0)
            text.append(chunk, got);
        fclose(file);
    }
    return text;
}

std::vector<std::string> splitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find("\r\n", from);
        size_t bare = text.find('\n', from);
        if (end == std::string::npos || bare < end + 1) {
            lines.push_back("<bad line end>");
            break;
        }
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

}  // namespace memtrack_test
