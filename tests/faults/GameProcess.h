// Runs the real tessal binary in a folder of its own, headless, and collects
// what it wrote and how it ended.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace faults {

struct GameRun {
    // Where the game runs; its data.pak and scores.qbx are prepared there.
    std::string folder;
    // Settings put in the game's environment (DISPLAY and WAYLAND_DISPLAY
    // are always removed, so no dialog can wait for a user). An empty value
    // removes the setting.
    std::map<std::string, std::string> environment;
    // Run as the user "nobody" instead of root.
    bool asNobody = false;
    // Give the game a /tmp of its own that nobody can write to (an empty
    // read-only tmpfs in a private mount namespace).
    bool readOnlyTmp = false;
    // Start the game with descriptors 0 to 2 closed, as some launchers do.
    bool closeStandardStreams = false;
    // What follows "tessal" on its command line.
    std::vector<std::string> arguments;
    // Standard output on /dev/full, where every write fails.
    bool outputToFull = false;
    // Ask the game to quit (SIGTERM, which ends it as F12 does) this
    // long after the start; 0 never.
    int quitAfterMs = 0;
    // Called with the game's process id just before the quit request.
    std::function<void(int)> beforeQuit;
    // Kill the game after this long and count it as a failure.
    int limitMs = 60000;
    // Start-up logos take 27 s at the real pace; the clock is run this many
    // times faster through a preloaded SDL_GetTicks. 1 leaves it alone.
    int clockWarp = 10;
};

struct GameResult {
    bool exited = false;   // ended by itself (or after the quit request)
    int status = -1;       // exit status when exited
    int signal = 0;        // the signal that ended it, when one did
    bool killed = false;   // the limit ran out
    std::string out;
    std::string err;
    // The read-only /tmp could not be made here (no mount namespaces).
    bool noPrivateTmp = false;
};

GameResult runGame(const GameRun& run);
// Runs the games side by side; the results come in the order of the runs.
std::vector<GameResult> runGames(const std::vector<GameRun>& runs);

// Whether a process under the run's conditions (folder, user, /tmp) can
// write the file at path (create it when missing, open it for writing when
// it exists): 1 yes, 0 denied, -1 the conditions cannot be made.
int probeWrite(const GameRun& run, const std::string& path);

// User and group ids of "nobody".
bool nobodyIds(unsigned& uid, unsigned& gid);

}  // namespace faults
