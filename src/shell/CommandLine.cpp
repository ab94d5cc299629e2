#include "shell/CommandLine.h"

#include <errno.h>

#include <cstdio>
#include <cstring>

const char* const kVersionText = "1.0.0 build 521";

namespace {

// The keys, files and environment of the manual page, in short.
const char kUsage[] =
    "Usage: tessal [--help | --version]\n"
    "Clear a board of coloured tiles by clicking groups of one colour.\n"
    "Without options the game starts in full screen.\n"
    "\n"
    "Keys:\n"
    "  mouse             point at a group, click to remove it; choose a menu entry\n"
    "  arrow keys        in a game, move the pointer one tile (keypad 8 2 4 6 too)\n"
    "  Space, Return     in a game, click where the pointer is; in the menu, choose\n"
    "  Up, Down          in the menu, move the highlight\n"
    "  Escape            leave the score board or the credits; leave a game\n"
    "  F1                on the score board, reset the table\n"
    "  F9                switch between full screen and a window\n"
    "  F12               quit at once\n"
    "  Tab               show the frame rate\n"
    "\n"
    "Gamepad:\n"
    "  D-pad, left stick the arrow keys\n"
    "  South (A)         Space; East (B) Escape; Start Return; Back Tab\n"
    "  name entry        up and down choose a letter, right or South takes it,\n"
    "                    left or East takes one back, Start keeps the name\n"
    "\n"
    "Files, in the working folder ($XDG_DATA_HOME/tessal when started by the\n"
    "tessal launcher):\n"
    "  data.pak          the pictures, music and sounds\n"
    "  scores.qbx        the table of the nine best scores\n"
    "  memory.log, memleaks.log\n"
    "                    the allocation tracker's log and leak report\n"
    "\n"
    "Environment:\n"
    "  XDG_DATA_HOME     where the launcher makes the game's folder\n"
    "                    (else ~/.local/share)\n"
    "  TMPDIR            where the private scratch folder is made (else /tmp)\n"
    "  DISPLAY, WAYLAND_DISPLAY\n"
    "                    the desktop to show the game and its error notices on\n"
    "  PATH              searched for zenity, kdialog or xmessage\n"
    "  SDL12COMPAT_WINDOW_SCALING\n"
    "                    the window's enlargement\n"
    "  SDL_VIDEO_WINDOW_POS, SDL_VIDEO_CENTERED\n"
    "                    where the window opens\n"
    "  SDL12COMPAT_USE_GAME_CONTROLLERS\n"
    "                    0 shows pads as plain joysticks, in their own layouts\n"
    "  SDL12COMPAT_SYNC_TO_VBLANK\n"
    "                    0 draws without waiting for the display's refresh\n"
    "  SDL_VIDEODRIVER, SDL_AUDIODRIVER\n"
    "                    the SDL drivers for the picture and the sound\n"
    "\n"
    "See tessal(6) for how to play.\n";

}  // namespace

int handleCommandLine(int argc, char** argv)
{
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        if (!optionsEnded && strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if (!optionsEnded && (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0)) {
            help = true;
        } else if (!optionsEnded && strcmp(arg, "--version") == 0) {
            version = true;
        } else {
            bool option = !optionsEnded && arg[0] == '-';
            fprintf(stderr, "tessal: %s '%s'\nTry 'tessal --help'.\n",
                    option ? "unknown option" : "unexpected argument", arg);
            return 2;
        }
    }
    if (!help && !version)
        return -1;
    if (help)
        fputs(kUsage, stdout);
    else
        printf("Tessal Version %s\n", kVersionText);
    // A full disk or a closed pipe must not pass for an answer given.
    if (fflush(stdout) != 0 || ferror(stdout)) {
        fprintf(stderr, "tessal: cannot write the %s: %s\n", help ? "help" : "version",
                strerror(errno));
        return 1;
    }
    return 0;
}
