#include "platform/MessageBox.h"

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

extern char** environ;

namespace platform {

namespace {

// Finds an executable of the given name on PATH.
bool findProgram(const char* program, std::string& found)
{
    const char* path = getenv("PATH");
    if (!path)
        return false;
    std::string dirs(path);
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        std::string candidate = dirs.substr(start, end - start);
        if (candidate.empty())
            candidate = ".";
        candidate += "/";
        candidate += program;
        if (access(candidate.c_str(), X_OK) == 0) {
            found = candidate;
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Runs argv[0] with the argument vector as it is (no shell) and waits.
int runAndWait(const std::string& program, const char* const* argv)
{
    pid_t child;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr,
                    const_cast<char* const*>(argv), environ) != 0)
        return 0;
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return 1;
}

}  // namespace

int showMessageBox(const char* caption, const char* message)
{
    const char* display = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland))
        return 0;

    std::string program;
    std::string title = std::string("--title=") + caption;
    std::string text = std::string("--text=") + message;
    if (findProgram("zenity", program)) {
        const char* argv[] = {"zenity", "--error", "--no-markup", title.c_str(), text.c_str(),
                              nullptr};
        return runAndWait(program, argv);
    }
    if (findProgram("kdialog", program)) {
        const char* argv[] = {"kdialog", "--title", caption, "--error", message, nullptr};
        return runAndWait(program, argv);
    }
    if (display && *display && findProgram("xmessage", program)) {
        const char* argv[] = {"xmessage", "-center", "-title", caption, "-buttons", "OK",
                              message, nullptr};
        return runAndWait(program, argv);
    }
    return 0;
}

}  // namespace platform
