// Telling the program's calls from the libraries': the executable's code
// segments, found once through the dynamic linker's list of loaded objects.
#include "memtrack/ForeignBlocks.h"

#include <link.h>
#include <pthread.h>

#include <cstdint>

namespace memtrack {

namespace {

struct CodeRange {
    std::uintptr_t start;
    std::uintptr_t end;
};

CodeRange programCode[16];
int programCodeCount;
pthread_once_t programCodeFound = PTHREAD_ONCE_INIT;

// The executable is always the first object in the list.
int addProgramCode(struct dl_phdr_info* info, size_t, void*)
{
    for (int i = 0; i < info->dlpi_phnum && programCodeCount < 16; i++) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_X))
            continue;
        std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        programCode[programCodeCount++] = {start, start + segment.p_memsz};
    }
    return 1;
}

void findProgramCode()
{
    dl_iterate_phdr(addProgramCode, nullptr);
}

}  // namespace

bool calledFromProgram(const void* returnAddress) noexcept
{
    pthread_once(&programCodeFound, findProgramCode);
    std::uintptr_t address = reinterpret_cast<std::uintptr_t>(returnAddress);
    for (int i = 0; i < programCodeCount; i++)
        if (address >= programCode[i].start && address < programCode[i].end)
            return true;
    return false;
}

}  // namespace memtrack
