// "memory.log" and the small texts its lines are made of.
#include "memtrack/MemTracker.h"
#include "memtrack/TrackerState.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace memtrack {

bool freshLogAtStart = true;

// Reused by every call, as the log is written one line at a time.
static char logBuffer[2048];
static char ownerBuffer[90];
static char digitsBuffer[30];
static char sizeBuffer[64];

std::FILE* openLogFile(const char* name, bool append)
{
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC
                | (append ? O_APPEND : O_TRUNC);
    int fd = open(name, flags, 0666);
    if (fd < 0 && errno == ELOOP && unlink(name) == 0)
        fd = open(name, flags | O_EXCL, 0666);
    if (fd < 0)
        return nullptr;
    struct stat info;
    std::FILE* log = nullptr;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        log = fdopen(fd, append ? "ab" : "wb");
    if (!log)
        close(fd);
    return log;
}

static void writeLogLine(const char* format, va_list args)
{
    vsnprintf(logBuffer, sizeof(logBuffer), format, args);
    if (freshLogAtStart) {
        remove("memory.log");
        freshLogAtStart = false;
    }
    // Opened and closed for every line so that the log survives a crash.
    FILE* log = openLogFile("memory.log", true);
    if (!log)
        return;
    fprintf(log, "%s\r\n", logBuffer);
    fclose(log);
}

void logLine(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    writeLogLine(format, args);
    va_end(args);
}

void memLog(const char* format, ...) noexcept
{
    lockTracker();
    va_list args;
    va_start(args, format);
    writeLogLine(format, args);
    va_end(args);
    unlockTracker();
}

const char* groupDigits(unsigned long long value) noexcept
{
    char digits[24];
    int length = snprintf(digits, sizeof(digits), "%llu", value);
    // A comma before every group of three counted from the right.
    int out = 0;
    for (int i = 0; i < length; i++) {
        if (i > 0 && (length - i) % 3 == 0)
            digitsBuffer[out++] = ',';
        digitsBuffer[out++] = digits[i];
    }
    digitsBuffer[out] = '\0';
    return digitsBuffer;
}

const char* formatSize(unsigned long long size) noexcept
{
    const char* grouped = groupDigits(size);
    if (size <= 1024)
        snprintf(sizeBuffer, sizeof(sizeBuffer), "%10s bytes     ", grouped);
    else if (size <= 1048576)
        snprintf(sizeBuffer, sizeof(sizeBuffer), "%10s (%7.2fK)", grouped, size / 1024.0);
    else
        snprintf(sizeBuffer, sizeof(sizeBuffer), "%10s (%7.2fM)", grouped, size / 1048576.0);
    return sizeBuffer;
}

const char* baseName(const char* path) noexcept
{
    if (!path)
        return "??";
    const char* slash = strrchr(path, '\\');
    if (!slash)
        slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

const char* formatOwner(const char* file, int line, const char* function) noexcept
{
    snprintf(ownerBuffer, sizeof(ownerBuffer), "%s(%05d)::%s", baseName(file), line,
             function ? function : "??");
    return ownerBuffer;
}

const char* typeName(unsigned type) noexcept
{
    static const char* const names[] = {
        "Unknown", "new", "new[]", "malloc", "calloc", "realloc", "delete", "delete[]", "free",
    };
    return type < sizeof(names) / sizeof(names[0]) ? names[type] : names[0];
}

}  // namespace memtrack
