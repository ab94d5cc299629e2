#include "core/Error.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/MessageBox.h"

namespace {

// Formats into a fixed buffer; an over-long result is cut at its end, and a
// format the C library rejects leaves an empty text.
void formatInto(char* buffer, size_t size, const char* format, va_list args)
{
    if (vsnprintf(buffer, size, format, args) < 0)
        buffer[0] = '\0';
}

}  // namespace

FormattedString::FormattedString() : text(nullptr), length(0) {}

FormattedString::FormattedString(const char* format, ...) : text(nullptr), length(0)
{
    char scratch[1024];
    va_list args;
    va_start(args, format);
    formatInto(scratch, sizeof scratch, format, args);
    va_end(args);
    assign(scratch);
}

FormattedString::~FormattedString()
{
    free(text);
}

void FormattedString::assign(const char* newText)
{
    if (!newText)
        newText = "";
    size_t size = strlen(newText);
    char* grown = static_cast<char*>(realloc(text, size + 1));
    if (!grown)
        return;  // keep the old text rather than lose it
    text = grown;
    memcpy(text, newText, size + 1);
    length = static_cast<int>(size);
}

Error::Error(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    formatInto(text, sizeof text, format, args);
    va_end(args);
}

Error::Error(const Error& other)
{
    memcpy(text, other.text, sizeof text);
}

Error::~Error() {}

void Error::report() const
{
    showErrorBox("Error", text);
    fputs(text, stderr);
    fflush(stderr);
}

int showErrorBox(const char* caption, const char* message)
{
    return platform::showMessageBox(caption, message);
}

void logLine(const char* format, ...)
{
    char scratch[4096];
    va_list args;
    va_start(args, format);
    formatInto(scratch, sizeof scratch, format, args);
    va_end(args);
    fputs(scratch, stderr);
    fputs("\n", stderr);
    fflush(stderr);
}
