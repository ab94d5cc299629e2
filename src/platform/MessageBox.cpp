#include "platform/MessageBox.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

extern char** environ;

namespace platform {

namespace {

// Finds an executable file of the given name on PATH.
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
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode)
            && access(candidate.c_str(), X_OK) == 0) {
            found = candidate;
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Runs the program with the argument vector as it is (no shell) and waits
// for it. Its own output goes to /dev/null: our standard error carries the
// message and nothing else. Returns 1 when the program ran.
int runAndWait(const std::string& program, const char* const* argv)
{
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return 0;
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child;
    int failed = posix_spawn(&child, program.c_str(), &actions, nullptr,
                             const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return 0;
    int status = 0;
    // Only an interruption is worth waiting again for; anything else (the
    // child already reaped elsewhere) would make this loop forever.
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return 1;
}

bool isSet(const char* value)
{
    return value && *value;
}

}  // namespace

int showMessageBox(const char* caption, const char* message)
{
    bool x11 = isSet(getenv("DISPLAY"));
    bool wayland = isSet(getenv("WAYLAND_DISPLAY"));
    if (!x11 && !wayland)
        return 0;
    if (!caption)
        caption = "";
    if (!message)
        message = "";

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
    if (x11 && findProgram("xmessage", program)) {
        // xmessage takes a leading "-" for one of its options.
        std::string shown = message[0] == '-' ? std::string(" ") + message : message;
        const char* argv[] = {"xmessage", "-center", "-title", caption, "-buttons", "OK",
                              shown.c_str(), nullptr};
        return runAndWait(program, argv);
    }
    return 0;
}

}  // namespace platform
