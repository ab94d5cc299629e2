// Passes of the main loop on the dummy screen: global keys, mode switches and
// the hand-over between the title menu and the game.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "game/Game.h"
#include "gfx/Text.h"
#include "menu/TitleMenu.h"
#include "platform/Input.h"
#include "platform/QuitSignal.h"
#include "core/AppState.h"
#include "core/HighScores.h"
#include "shell/MainLoop.h"
#include "shell/VideoMode.h"
#include "support/TestSupport.h"

namespace {

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch.reset(new testing_support::ScratchDir());
        scratch->addDataPak();
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
        openScreen();
        initGlyphMap();
        input::releaseAllKeys();
        resetHighScores();
        appState = 0;
        srand(11);
        startTitleMenu();
    }

    void TearDown() override
    {
        endMainLoop();
        input::releaseAllKeys();
        testing_support::closeDummyScreen();
        scratch.reset();
    }

    // Passes until appState leaves `state`, or at most `limit` of them.
    void passWhile(int state, int limit)
    {
        for (int i = 0; i < limit && appState == state; i++)
            runLoopPass();
    }

    static void pushQuit()
    {
        SDL_Event event = {};
        event.type = SDL_QUIT;
        SDL_PushEvent(&event);
    }

    std::unique_ptr<testing_support::ScratchDir> scratch;
};

// F9 switches once per press, when it is let go: a key still held when the
// new window takes the focus is reported pressed again.
TEST_F(MainLoopTest, F9SwitchesOncePerPressAndRebuildsTheMenu)
{
    ASSERT_TRUE(fullScreen);
    liveTitleMenu()->page = kPageMain;

    input::pressKey(SDLK_F9);
    for (int i = 0; i < 5; i++)
        runLoopPass();
    EXPECT_TRUE(fullScreen);
    EXPECT_EQ(liveTitleMenu()->page, kPageMain);

    input::releaseKey(SDLK_F9);
    runLoopPass();
    EXPECT_FALSE(fullScreen);
    ASSERT_NE(screen, nullptr);
    ASSERT_NE(liveTitleMenu(), nullptr);
    // A new menu opens again from black, drawing on the new screen.
    EXPECT_EQ(liveTitleMenu()->page, kPageOpening);
    SDL_Surface* buffer = liveTitleMenu()->backBuffer;
    EXPECT_TRUE(buffer == screen || liveTitleMenu()->ownsBackBuffer);
    EXPECT_EQ(buffer->format->BitsPerPixel, screen->format->BitsPerPixel);

    // A tap within one pass switches back.
    input::pressKey(SDLK_F9);
    input::releaseKey(SDLK_F9);
    runLoopPass();
    EXPECT_TRUE(fullScreen);
    EXPECT_EQ(liveTitleMenu()->page, kPageOpening);
    EXPECT_EQ(screen->w, 640);
    EXPECT_EQ(screen->h, 480);

    // Full screen left by the platform alone (a browser's Escape) is a
    // window from the next pass on.
    screen->flags &= ~SDL_FULLSCREEN;
    runLoopPass();
    EXPECT_FALSE(fullScreen);
}

TEST_F(MainLoopTest, F12EndsTheLoopAndLeavesTheMenuToShutdown)
{
    input::pressKey(SDLK_F12);
    runLoopPass();
    EXPECT_EQ(appState, 2);
    EXPECT_NE(liveTitleMenu(), nullptr);
    endMainLoop();
    EXPECT_EQ(liveTitleMenu(), nullptr);
    EXPECT_EQ(liveGame(), nullptr);
}

TEST_F(MainLoopTest, QuitSignalsEndTheLoopLikeF12)
{
    platform::catchQuitSignals();
    for (int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(number);
        appState = 0;
        raise(number);
        runLoopPass();
        EXPECT_EQ(appState, 2);
        EXPECT_NE(liveTitleMenu(), nullptr);
        platform::clearQuitSignal();
    }
}

TEST_F(MainLoopTest, TabDrawsTheFrameRateInTheTopLeftCorner)
{
    auto whitePixels = [] {
        int count = 0;
        for (int y = 0; y < 8; y++) {
            const Uint32* row = reinterpret_cast<const Uint32*>(
                static_cast<const Uint8*>(screen->pixels) + y * screen->pitch);
            for (int x = 0; x < 64; x++)
                if (row[x] == 0xFFFFFFFF)
                    count++;
        }
        return count;
    };
    liveTitleMenu()->page = kPageMain;
    runLoopPass();
    int without = whitePixels();
    input::pressKey(SDLK_TAB);
    runLoopPass();
    // "FPS=0": five glyphs of the built-in font in all-bits-set white.
    EXPECT_GT(whitePixels(), without + 20);
}

TEST_F(MainLoopTest, WindowCloseOnTheTitleScreenQuitsAfterTheFade)
{
    liveTitleMenu()->page = kPageMain;
    liveTitleMenu()->fadeLevel = -40;
    pushQuit();
    // Real frame times: the last ten levels take 50 ms.
    passWhile(0, 1000000);
    EXPECT_EQ(appState, 2);
    EXPECT_EQ(liveTitleMenu(), nullptr);
    EXPECT_EQ(liveGame(), nullptr);
}

// What the player did during the logos waits in the queue, and a key may still
// be down when the menu comes. Neither acts on the menu (the opening fade runs
// to its end, nothing is chosen) until a key is pressed anew; a close still
// quits.
TEST_F(MainLoopTest, InputFromBeforeTheMenuWaitsButACloseIsKept)
{
    auto push = [](Uint8 type) {
        SDL_Event event = {};
        event.type = type;
        if (type == SDL_KEYDOWN || type == SDL_KEYUP)
            event.key.keysym.sym = SDLK_RETURN;
        else
            event.button.button = SDL_BUTTON_LEFT;
        SDL_PushEvent(&event);
    };
    struct Case {
        const char* what;
        Uint8 queued[2];     // pushed before the menu is made
        SDLKey held;         // down when the menu is made
        bool close;
    };
    const Case cases[] = {
        {"clicks", {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}, SDLK_UNKNOWN, false},
        {"Return tapped", {SDL_KEYDOWN, SDL_KEYUP}, SDLK_UNKNOWN, false},
        {"Return held", {0, 0}, SDLK_RETURN, false},
        {"Escape held", {0, 0}, SDLK_ESCAPE, false},
        {"Space held, then a close", {0, 0}, SDLK_SPACE, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        endMainLoop();
        input::releaseAllKeys();
        appState = 0;
        SDL_WarpMouse(320, 400);  // where Exit will be
        for (Uint8 type : c.queued)
            if (type)
                push(type);
        if (c.held)
            input::pressKey(c.held);
        if (c.close)
            pushQuit();
        startTitleMenu();  // as the entry point does once the logos are over

        if (c.close) {
            passWhile(0, 1000000);
            EXPECT_EQ(appState, 2);
            continue;
        }
        for (int i = 0; i < 1000000 && appState == 0 && liveTitleMenu()->page == kPageOpening; i++)
            runLoopPass();
        passWhile(0, 100);
        ASSERT_EQ(appState, 0);
        TitleMenu* menu = liveTitleMenu();
        EXPECT_EQ(menu->page, kPageMain);
        EXPECT_EQ(menu->nextState, 0);
        EXPECT_GT(menu->fadeLevel, 256) << "the opening fade ran to its end";

        // Let go and pressed anew, Return chooses Exit under the pointer.
        if (c.held)
            input::releaseKey(c.held);
        runLoopPass();
        input::pressKey(SDLK_RETURN);
        runLoopPass();
        input::releaseKey(SDLK_RETURN);
        EXPECT_EQ(menu->nextState, 2);
    }
}

// Escape and an arrow still down when a game ends: the new menu's opening
// fade runs on, and in the next game the arrow's first press steps at once.
TEST_F(MainLoopTest, NoKeyStateCarriesIntoTheNextScreen)
{
    auto playFromTheMenu = [this] {
        liveTitleMenu()->page = kPageClosing;
        liveTitleMenu()->nextState = 1;
        liveTitleMenu()->fadeLevel = -49;
        passWhile(0, 1000000);
        runLoopPass();
        for (int i = 0; i < 1000000 && liveGame()->inputLocked; i++)
            runLoopPass();
    };
    playFromTheMenu();
    input::pressKey(SDLK_RIGHT);
    input::pressKey(SDLK_ESCAPE);
    passWhile(1, 1000000);
    runLoopPass();
    runLoopPass();
    ASSERT_NE(liveTitleMenu(), nullptr);
    EXPECT_EQ(liveTitleMenu()->page, kPageOpening);
    input::releaseKey(SDLK_ESCAPE);
    input::releaseKey(SDLK_RIGHT);
    runLoopPass();

    playFromTheMenu();
    SDL_WarpMouse(5 * 32 + 16, 5 * 32 + 16);
    runLoopPass();
    input::pressKey(SDLK_RIGHT);
    runLoopPass();
    input::releaseKey(SDLK_RIGHT);
    int x, y;
    input::pointer(x, y);
    EXPECT_EQ(x, 6 * 32 + 16);
    EXPECT_EQ(y, 5 * 32 + 16);
}

TEST_F(MainLoopTest, PlayLeadsToTheGameAndEscapeBackToANewMenu)
{
    TitleMenu* first = liveTitleMenu();
    first->page = kPageClosing;
    first->nextState = 1;
    first->fadeLevel = -49;
    passWhile(0, 1000000);
    ASSERT_EQ(appState, 1);
    // The menu goes in the pass that ends it; the game comes in the next one.
    EXPECT_EQ(liveTitleMenu(), nullptr);
    EXPECT_EQ(liveGame(), nullptr);
    runLoopPass();
    ASSERT_NE(liveGame(), nullptr);
    EXPECT_EQ(appState, 1);

    // F9 during play keeps the game and its board.
    int before = liveGame()->board[0][14];
    input::pressKey(SDLK_F9);
    input::releaseKey(SDLK_F9);
    runLoopPass();
    EXPECT_FALSE(fullScreen);
    ASSERT_NE(liveGame(), nullptr);
    EXPECT_EQ(liveGame()->board[0][14], before);

    // Escape once the board is open for input leaves through the game's fade.
    for (int i = 0; i < 1000000 && liveGame()->inputLocked; i++)
        runLoopPass();
    input::pressKey(SDLK_ESCAPE);
    runLoopPass();
    input::releaseKey(SDLK_ESCAPE);
    passWhile(1, 1000000);
    EXPECT_EQ(appState, 0);
    EXPECT_EQ(liveGame(), nullptr);
    runLoopPass();
    ASSERT_NE(liveTitleMenu(), nullptr);
    EXPECT_EQ(liveTitleMenu()->page, kPageOpening);
}

TEST_F(MainLoopTest, F12DuringPlayLeavesTheGameToShutdown)
{
    liveTitleMenu()->page = kPageClosing;
    liveTitleMenu()->nextState = 1;
    liveTitleMenu()->fadeLevel = -49;
    passWhile(0, 1000000);
    runLoopPass();
    ASSERT_NE(liveGame(), nullptr);
    input::pressKey(SDLK_F12);
    runLoopPass();
    EXPECT_EQ(appState, 2);
    EXPECT_NE(liveGame(), nullptr);
}

// A quit signal (a logout) while a new high score's name is typed keeps the
// record under the name typed so far, or "Player" when none was; F12 is the
// player's own choice and keeps none. The file holds what the shutdown saved.
TEST_F(MainLoopTest, QuitSignalAtTheNamePromptKeepsTheRecord)
{
    platform::catchQuitSignals();
    const struct {
        const char* typed;
        int signal;  // 0: F12
        const char* top;
    } cases[] = {{"Ann B", SIGTERM, "Ann B"}, {"", SIGHUP, "Player"}, {"Ann", 0, ".A.A.A."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " then " + (c.signal ? strsignal(c.signal) : "F12"));
        endMainLoop();
        unlink("scores.qbx");
        loadHighScores();
        appState = 1;
        runLoopPass();
        Game* game = liveGame();
        ASSERT_NE(game, nullptr);
        game->score = 19996;
        game->enteringName = true;
        game->inputLocked = false;
        for (const char* letter = c.typed; *letter; letter++) {
            SDLKey key = *letter == ' ' ? SDLK_SPACE : static_cast<SDLKey>(tolower(*letter));
            input::pressKey(key, static_cast<Uint16>(*letter));
            input::releaseKey(key, static_cast<Uint16>(*letter));
            runLoopPass();
        }
        ASSERT_STREQ(game->playerName, c.typed);
        c.signal ? static_cast<void>(raise(c.signal)) : input::pressKey(SDLK_F12);
        runLoopPass();
        ASSERT_EQ(appState, 2);
        endMainLoop();  // and the table saved, as the entry point ends
        saveHighScores();
        platform::clearQuitSignal();
        input::releaseAllKeys();
        std::vector<unsigned char> saved = testing_support::readFile("scores.qbx");
        ASSERT_EQ(saved.size(), 360u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(saved.data())), c.top);
        EXPECT_EQ(saved[32] | saved[33] << 8, c.signal ? 19996 : 9);
    }
}

TEST_F(MainLoopTest, KeysWalkTheMenuIntoAGameAndBack)
{
    auto tap = [](SDLKey key) {
        input::pressKey(key);
        runLoopPass();
        input::releaseKey(key);
        runLoopPass();
    };
    SDL_WarpMouse(320, 100);
    SDL_PumpEvents();
    TitleMenu* menu = liveTitleMenu();
    ASSERT_EQ(menu->page, kPageOpening);
    tap(SDLK_RETURN);  // ends the opening fade, as a click does
    EXPECT_EQ(menu->page, kPageMain);
    tap(SDLK_DOWN);
    tap(SDLK_DOWN);
    EXPECT_EQ(menu->hoverItem, 2);
    tap(SDLK_RETURN);
    EXPECT_EQ(menu->page, kPageScores);
    highScores[0].score = 4242;
    tap(SDLK_F1);
    EXPECT_EQ(highScores[0].score, 9) << "F1 still resets the table";
    tap(SDLK_SPACE);
    EXPECT_EQ(menu->page, kPageMain);
    tap(SDLK_DOWN);
    tap(SDLK_SPACE);
    EXPECT_EQ(menu->page, kPageAbout);
    tap(SDLK_RETURN);
    tap(SDLK_UP);
    tap(SDLK_UP);
    EXPECT_EQ(menu->hoverItem, 1);
    tap(SDLK_RETURN);
    EXPECT_EQ(menu->nextState, 1);
    passWhile(0, 1000000);
    ASSERT_EQ(appState, 1);
    runLoopPass();
    Game* game = liveGame();
    ASSERT_NE(game, nullptr);

    // One colour everywhere: whatever the pointer is on is one group.
    for (auto& column : game->board)
        for (int32_t& cell : column)
            cell = 1;
    for (int i = 0; i < 1000000 && game->inputLocked; i++)
        runLoopPass();
    tap(SDLK_LEFT);
    tap(SDLK_SPACE);
    EXPECT_EQ(game->score, 225 * 225 / 2);
    EXPECT_EQ(game->board[0][14], kEmpty);

    tap(SDLK_ESCAPE);
    passWhile(1, 1000000);
    ASSERT_EQ(appState, 0);
    runLoopPass();
    menu = liveTitleMenu();
    ASSERT_NE(menu, nullptr);
    // The pointer stays where the keys left it, over Play; Up wraps to Exit.
    EXPECT_EQ(menu->hoverItem, 1);
    tap(SDLK_RETURN);
    EXPECT_EQ(menu->page, kPageMain);
    tap(SDLK_UP);
    EXPECT_EQ(menu->hoverItem, 4);
    tap(SDLK_SPACE);
    EXPECT_EQ(menu->nextState, 2);
    passWhile(0, 1000000);
    EXPECT_EQ(appState, 2);
}

TEST(VideoMode, LibraryRequestsKeepWhatTheUserSet)
{
    const struct {
        const char* variable;
        void (*request)();
    } requests[] = {{"SDL12COMPAT_SYNC_TO_VBLANK", requestVsync},
                    {"SDL12COMPAT_USE_GAME_CONTROLLERS", input::requestControllerLayout}};
    for (const auto& r : requests) {
        setenv(r.variable, "0", 1);
        r.request();
        EXPECT_STREQ(getenv(r.variable), "0");
        unsetenv(r.variable);
        r.request();
        EXPECT_STREQ(getenv(r.variable), "1");
    }
}

TEST(VideoMode, WindowScaleIsTheLargestThatFits85PercentOfTheDesktop)
{
    struct Case {
        int width, height, scale;
    };
    const Case cases[] = {
        {3840, 2160, 3}, {2560, 1440, 2}, {1920, 1080, 1}, {1024, 768, 1}, {640, 480, 1},
        {0, 0, 1},       {7680, 4320, 7}, {1506, 1130, 2}, {1505, 1130, 1}, {1506, 1129, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(windowScaleFor(c.width, c.height), c.scale) << c.width << " x " << c.height;
}

TEST(VideoMode, WindowSizeRequestCentresTheWindowAndKeepsWhatTheUserSet)
{
    const char* const names[] = {"SDL12COMPAT_WINDOW_SCALING", "SDL_VIDEO_WINDOW_POS",
                                 "SDL_VIDEO_CENTERED"};
    auto clear = [&] {
        for (const char* name : names)
            unsetenv(name);
    };
    auto value = [](const char* name) {
        const char* v = getenv(name);
        return std::string(v ? v : "(unset)");
    };
    struct Case {
        const char* scaling;  // set by the user, or null
        const char* centred;  // SDL_VIDEO_CENTERED set by the user, or null
        int width, height;
        const char* wantScaling;
        const char* wantPosition;
    };
    const Case cases[] = {
        {nullptr, nullptr, 3840, 2160, "3", "960,360"},
        {nullptr, nullptr, 2560, 1440, "2", "640,240"},
        {nullptr, nullptr, 1024, 768, "1", "192,144"},
        {"1.5", nullptr, 3840, 2160, "1.5", "1440,720"},
        {"9", nullptr, 3840, 2160, "9", "0,0"},
        {nullptr, "1", 3840, 2160, "3", "(unset)"},
    };
    for (const Case& c : cases) {
        clear();
        if (c.scaling)
            setenv("SDL12COMPAT_WINDOW_SCALING", c.scaling, 1);
        if (c.centred)
            setenv("SDL_VIDEO_CENTERED", c.centred, 1);
        requestWindowSize(c.width, c.height);
        EXPECT_EQ(value("SDL12COMPAT_WINDOW_SCALING"), c.wantScaling) << c.width << " x " << c.height;
        EXPECT_EQ(value("SDL_VIDEO_WINDOW_POS"), c.wantPosition) << c.width << " x " << c.height;
    }
    // A position the user gave stays.
    clear();
    setenv("SDL_VIDEO_WINDOW_POS", "10,20", 1);
    requestWindowSize(3840, 2160);
    EXPECT_EQ(value("SDL_VIDEO_WINDOW_POS"), "10,20");
    clear();
}

TEST(VideoMode, StartsFullScreenAndTogglesBothWays)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    fullScreen = false;
    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    openScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(fullScreen);
    // The window's scale was chosen for the desktop before the first mode.
    EXPECT_NE(getenv("SDL12COMPAT_WINDOW_SCALING"), nullptr);
    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    unsetenv("SDL_VIDEO_WINDOW_POS");
    EXPECT_EQ(screen, SDL_GetVideoSurface());
    EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), SDL_GRAB_ON);
    toggleScreenMode();
    ASSERT_NE(screen, nullptr);
    EXPECT_FALSE(fullScreen);
    EXPECT_FALSE(screen->flags & SDL_FULLSCREEN);
    // The pointer is free to leave a window.
    EXPECT_EQ(SDL_WM_GrabInput(SDL_GRAB_QUERY), SDL_GRAB_OFF);
    EXPECT_EQ(screen, SDL_GetVideoSurface());
    toggleScreenMode();
    EXPECT_TRUE(fullScreen);
    EXPECT_EQ(screen->w, 640);
    // Full screen left by the platform alone (a browser's Escape): one
    // toggle brings it back, not a window already there.
    screen->flags &= ~SDL_FULLSCREEN;
    toggleScreenMode();
    EXPECT_TRUE(fullScreen);
    EXPECT_TRUE(screen->flags & SDL_FULLSCREEN);
    testing_support::closeDummyScreen();
}

}  // namespace
