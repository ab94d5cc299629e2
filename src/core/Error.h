// Texts and failures shared by every subsystem: a bounded formatted heap
// string, the one exception type, and the two diagnostic outputs.
#pragma once

#include <cstddef>

// Heap text built from a printf-style format. Owns its buffer; never copied.
class FormattedString {
public:
    FormattedString();
    // Formats into a 1024-character scratch buffer; longer results are cut.
    explicit FormattedString(const char* format, ...)
        __attribute__((format(printf, 2, 3)));
    ~FormattedString();

    FormattedString(const FormattedString&) = delete;
    FormattedString& operator=(const FormattedString&) = delete;

    void assign(const char* newText);

    char* text;
    int length;
};

// The program's one exception: a formatted message of at most 4095 characters.
class Error {
public:
    explicit Error(const char* format, ...) __attribute__((format(printf, 2, 3)));
    Error(const Error& other);
    virtual ~Error();

    // Message box titled "Error", then the message on standard error as it is.
    void report() const;

    char text[4096];
};

// A modal notice with a caption and a message; returns when it is closed.
int showErrorBox(const char* caption, const char* message);

// One line on standard error (the format's result is cut at 4095 characters).
void logLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
