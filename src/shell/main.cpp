#include <unistd.h>

#include "shell/Application.h"
#include "shell/CommandLine.h"

int main(int argc, char** argv)
{
    // A run that only answers an option (--help, --version, a wrong one)
    // ends here, past the exit handlers: the allocation tracker's log and
    // leak report belong to runs of the game, and the folder stays as it was.
    // The answer is already flushed.
    int answered = handleCommandLine(argc, argv);
    if (answered >= 0)
        _exit(answered);
    return runApplication(argc, argv);
}
