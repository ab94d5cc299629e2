// Reading back what the tracker wrote, without letting the reading itself
// (which allocates) mix its own lines into what is read.
#pragma once

#include <string>
#include <vector>

namespace memtrack_test {

// Remembers how long "memory.log" is now; linesSince() returns the lines
// appended after that point, CR LF removed. Lines ending otherwise make the
// reading fail the test.
class LogMark {
public:
    LogMark();
    std::vector<std::string> linesSince() const;
    long lengthNow() const;
private:
    long start;
};

// The owner text of every tracked call: file and function unknown.
std::string unknownOwner(const char* lineText);

// A pointer as the log prints it ("%010p").
std::string pointerText(const void* pointer);

// The same address, hidden from the compiler's use-after-free analysis:
// tests compare addresses of released blocks and release some twice.
void* opaque(void* pointer);

// The whole file, or "" when it cannot be read.
std::string fileText(const char* path);

// Splits CR LF terminated text into its lines; a bare LF or a missing final
// CR LF adds a line "<bad line end>".
std::vector<std::string> splitCrLf(const std::string& text);

}  // namespace memtrack_test
