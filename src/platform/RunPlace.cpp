#include "platform/RunPlace.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>

namespace platform {

namespace {

// The boot id's 32 hex digits, or false.
bool readBootId(char* digits)
{
    FILE* file = fopen("/proc/sys/kernel/random/boot_id", "re");
    if (!file)
        return false;
    char text[64] = "";
    bool read = fgets(text, sizeof text, file) != nullptr;
    fclose(file);
    int count = 0;
    for (const char* c = text; read && *c && *c != '\n'; c++) {
        if (*c == '-')
            continue;
        if (!isxdigit(static_cast<unsigned char>(*c)) || count == 32)
            return false;
        digits[count++] = static_cast<char>(tolower(static_cast<unsigned char>(*c)));
    }
    digits[count] = '\0';
    return count == 32;
}

void learnPlace(char* place, size_t size)
{
    place[0] = '\0';
    char host[HOST_NAME_MAX + 1] = "";
    if (gethostname(host, sizeof host) != 0 || !host[0])
        return;
    host[HOST_NAME_MAX] = '\0';
    for (char* c = host; *c; c++) {
        if (!isalnum(static_cast<unsigned char>(*c)) && *c != '.' && *c != '_')
            *c = '_';
    }
    char boot[33];
    struct stat space;
    if (!readBootId(boot) || stat("/proc/self/ns/pid", &space) != 0)
        return;
    snprintf(place, size, "%s-%s-%llu", host, boot,
             static_cast<unsigned long long>(space.st_ino));
}

}  // namespace

const char* runPlace()
{
    static char place[HOST_NAME_MAX + 64];
    static bool learnt = false;
    if (!learnt) {
        learnPlace(place, sizeof place);
        learnt = true;
    }
    return place;
}

pid_t leadingProcessId(const char* text, const char** end)
{
    long long value = 0;
    const char* c = text;
    for (; isdigit(static_cast<unsigned char>(*c)); c++) {
        if (value > INT_MAX)
            continue;  // already too long; keep walking to the end
        value = value * 10 + (*c - '0');
    }
    *end = c;
    static_assert(sizeof(pid_t) == sizeof(int), "pid_t is an int here");
    if (c == text || value <= 0 || value > INT_MAX)
        return 0;
    return static_cast<pid_t>(value);
}

}  // namespace platform
