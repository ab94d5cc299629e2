#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <vector>

#include "gfx/GfxTestSupport.h"
#include "gfx/Primitives.h"
#include "gfx/Transitions.h"
#include "platform/Input.h"
#include "platform/QuitSignal.h"
#include "core/AppState.h"
#include "core/Error.h"
#include "support/TestSupport.h"

using gfxtest::errorText;
using gfxtest::pixelAt;
using testing_support::ScratchDir;

namespace {

// What the screen showed after one frame of the transition.
struct Frame {
    Uint32 time;      // the clock reading the frame was drawn at
    int visibleRows;  // block rows showing the picture, counted from the top
    bool prefix;      // the visible rows are exactly the top ones
    bool lit;         // anything but black on a coarse grid
};

// The injected clock: it advances by a fixed step per frame and, since it is
// read once per frame, looks at what the previous frame left on the screen.
struct FakeClock {
    static Uint32 now;
    static Uint32 step;
    static int calls;
    static Uint32 picture;
    static std::vector<Frame> frames;
    static int hookCall;               // the reading at which hook runs
    static std::function<void()> hook;

    static Uint32 read()
    {
        if (++calls > 200000)
            throw std::runtime_error("the transition does not end");
        if (calls == hookCall && hook)
            hook();
        if (calls > 1) {
            Frame frame = {now, 0, true, false};
            for (int y = 0; y < 480; y += 20)
                for (int x = 0; x < 640; x += 20)
                    frame.lit = frame.lit || pixelAt(screen, x, y) != 0;
            bool seenBlack = false;
            for (int i = 0; i < 240; i++) {
                bool shown = pixelAt(screen, 320, 2 * i) == picture &&
                             pixelAt(screen, 320, 2 * i + 1) == picture;
                if (shown) {
                    frame.visibleRows++;
                    frame.prefix = frame.prefix && !seenBlack;
                } else {
                    seenBlack = true;
                }
            }
            frames.push_back(frame);
        }
        now += step;
        return now;
    }
};
Uint32 FakeClock::now;
Uint32 FakeClock::step;
int FakeClock::calls;
Uint32 FakeClock::picture;
std::vector<Frame> FakeClock::frames;
int FakeClock::hookCall;
std::function<void()> FakeClock::hook;

// Rows of blocks open from the top: mask entry of block row i is i.
std::vector<unsigned char> rowMask()
{
    std::vector<unsigned char> mask(kWipeMaskSize);
    for (int i = 0; i < 240; i++)
        for (int j = 0; j < 320; j++)
            mask[i * 320 + j] = static_cast<unsigned char>(i);
    return mask;
}

std::vector<unsigned char> logoPicture()
{
    SDL_Surface* picture = SDL_CreateRGBSurface(0, 640, 480, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(picture, nullptr, SDL_MapRGB(picture->format, 200, 100, 48));
    std::vector<unsigned char> bytes = gfxtest::bmpBytes(picture);
    SDL_FreeSurface(picture);
    return bytes;
}

struct TransitionTest : testing::Test {
    void SetUp() override { start(32); }
    void TearDown() override
    {
        wipeClock = SDL_GetTicks;
        FakeClock::hook = nullptr;
        platform::clearQuitSignal();
        testing_support::closeDummyScreen();
    }

    void start(int depth)
    {
        testing_support::openDummyScreen(depth);
        FakeClock::now = 5000;
        FakeClock::calls = 0;
        FakeClock::frames.clear();
        FakeClock::picture = SDL_MapRGB(screen->format, 200, 100, 48);
        wipeClock = FakeClock::read;
    }

    void writePak(bool withMasks, size_t maskSize = kWipeMaskSize)
    {
        std::vector<std::pair<std::string, std::vector<unsigned char>>> members = {
            {"logo.bmp", logoPicture()}, {"notes.bmp", {'n', 'o', 'n', 'e'}}};
        std::vector<unsigned char> mask = rowMask();
        mask.resize(maskSize);
        for (int n = 0; withMasks && n < 10; n++)
            members.push_back({"wipe" + std::to_string(n) + ".raw", mask});
        gfxtest::writeZip("data.pak", members);
    }

    // The clock time of the first frame satisfying the test, or 0.
    static Uint32 firstTime(const std::function<bool(const Frame&)>& test, size_t from = 0)
    {
        for (size_t n = from; n < FakeClock::frames.size(); n++)
            if (test(FakeClock::frames[n]))
                return FakeClock::frames[n].time;
        return 0;
    }

    ScratchDir scratch;
};

int peakFrame()
{
    int peak = 0;
    for (size_t n = 0; n < FakeClock::frames.size(); n++)
        if (FakeClock::frames[n].visibleRows > FakeClock::frames[peak].visibleRows)
            peak = static_cast<int>(n);
    return peak;
}

}  // namespace

// Whatever the frame length, the wipe moves at 0.1 levels per millisecond:
// frames of 3 ms used to leave the level stuck at 0 for ever.
TEST_F(TransitionTest, OpensHoldsAndClosesAtTheSameRateForAnyFrameLength)
{
    writePak(true);
    for (Uint32 step : {3u, 10u, 37u}) {
        SCOPED_TRACE(step);
        FakeClock::frames.clear();
        FakeClock::calls = 0;
        FakeClock::step = step;
        Uint32 begin = FakeClock::now;
        showWithWipe("zip:data.pak,logo.bmp");
        const std::vector<Frame>& frames = FakeClock::frames;
        ASSERT_GT(frames.size(), 10u);

        int peak = peakFrame();
        EXPECT_EQ(frames[peak].visibleRows, 240);
        for (size_t n = 0; n < frames.size(); n++) {
            ASSERT_TRUE(frames[n].prefix) << n;
            if (static_cast<int>(n) < peak && n > 0) {
                ASSERT_GE(frames[n].visibleRows, frames[n - 1].visibleRows) << n;
            }
            if (static_cast<int>(n) > peak) {
                ASSERT_LE(frames[n].visibleRows, frames[n - 1].visibleRows) << n;
            }
        }

        // Black for a second, then one block row per 10 ms from the top. Each
        // reading is exact to within a frame or two (each phase counts its
        // first frame as 1 ms).
        double slack = 3.0 * step + 10;
        Uint32 firstRow = firstTime([](const Frame& f) { return f.visibleRows >= 1; });
        Uint32 allRows = firstTime([](const Frame& f) { return f.visibleRows == 240; });
        EXPECT_NEAR(double(firstRow - begin), 1010.0, slack);
        EXPECT_NEAR(double(allRows - firstRow), 2390.0, slack);
        // Shown whole from level 240 up to 400 and back down to 239.
        Uint32 closing = firstTime([](const Frame& f) { return f.visibleRows < 240; }, peak);
        EXPECT_NEAR(double(closing - allRows), 3210.0, slack);
        // Gone at level 0, and the last frames a little below it.
        Uint32 gone = firstTime([](const Frame& f) { return f.visibleRows == 0; }, peak);
        EXPECT_NEAR(double(gone - closing), 2390.0, slack);
        EXPECT_NEAR(double(FakeClock::now - begin), 9100.0, slack);
        EXPECT_EQ(gfxtest::countNot(screen, 0), 0);
    }
}

TEST_F(TransitionTest, LongFramesJumpButEndAtTheSameLevels)
{
    writePak(true);
    FakeClock::step = 1500;
    showWithWipe("zip:data.pak,logo.bmp");
    // Levels -100, 50, 200, 350, 500 on the way in; 400, 250, 100, -50 out
    // (the clock sees every frame but the last, which the screen still holds).
    ASSERT_EQ(FakeClock::frames.size(), 8u);
    const int expectedRows[] = {0, 50, 200, 240, 240, 240, 240, 100};
    for (int n = 0; n < 8; n++)
        EXPECT_EQ(FakeClock::frames[n].visibleRows, expectedRows[n]) << n;
    EXPECT_EQ(gfxtest::countNot(screen, 0), 0);
}

TEST_F(TransitionTest, SixteenBitScreen)
{
    testing_support::closeDummyScreen();
    start(16);
    writePak(true);
    FakeClock::step = 50;
    showWithWipe("zip:data.pak,logo.bmp");
    EXPECT_EQ(FakeClock::frames[peakFrame()].visibleRows, 240);
    EXPECT_EQ(gfxtest::countNot(screen, 0), 0);
}

TEST_F(TransitionTest, PicturesThatCannotBeShownAreSkipped)
{
    writePak(true);
    SDL_FillRect(screen, nullptr, 0x123456);
    for (const char* path : {"zip:data.pak,absent.bmp", "zip:data.pak,notes.bmp", "zip:data.pak",
                             "absent.bmp", "zip:elsewhere.pak,logo.bmp"}) {
        SCOPED_TRACE(path);
        EXPECT_NO_THROW(showWithWipe(path));
        EXPECT_EQ(FakeClock::calls, 0);
        EXPECT_EQ(gfxtest::countNot(screen, 0x123456), 0);
    }
}

TEST_F(TransitionTest, MissingArchiveOrMaskStopsWithTheArchiveError)
{
    EXPECT_EQ(errorText([] { showWithWipe("zip:data.pak,logo.bmp"); }),
              "Cannot Load PAK: 'data.pak'");

    writePak(false);
    srand(5);
    std::string member = "wipe" + std::to_string(rand() % 10) + ".raw";
    srand(5);
    EXPECT_EQ(errorText([] { showWithWipe("zip:data.pak,logo.bmp"); }),
              "Cannot Load '" + member + "' from PAK");
    EXPECT_EQ(FakeClock::calls, 0);
}

// A short mask wipes with the entries it has; the blocks it leaves out count
// as entry 0 and show as soon as the level is above zero.
TEST_F(TransitionTest, ShortMaskLeavesTheRestOpen)
{
    std::vector<std::pair<std::string, std::vector<unsigned char>>> members = {
        {"logo.bmp", logoPicture()}};
    for (int n = 0; n < 10; n++)  // the top three block rows only
        members.push_back({"wipe" + std::to_string(n) + ".raw", std::vector<unsigned char>(960, 255)});
    gfxtest::writeZip("data.pak", members);
    FakeClock::step = 1500;
    showWithWipe("zip:data.pak,logo.bmp");
    // Levels -100, 50, 200, 350, 500 on the way in; 400, 250, 100 out.
    ASSERT_EQ(FakeClock::frames.size(), 8u);
    const int expectedRows[] = {0, 237, 237, 240, 240, 240, 237, 237};
    for (int n = 0; n < 8; n++)
        EXPECT_EQ(FakeClock::frames[n].visibleRows, expectedRows[n]) << n;
    EXPECT_EQ(gfxtest::countNot(screen, 0), 0);
}

TEST_F(TransitionTest, ShowsTheGeneratedLogos)
{
    if (!testing_support::fileExists(testing_support::dataPakPath()))
        GTEST_SKIP() << "no generated data.pak at " << testing_support::dataPakPath();
    scratch.addDataPak();
    FakeClock::step = 25;
    for (const char* logo : {"zip:data.pak,logo.bmp", "zip:data.pak,logo1.bmp",
                             "zip:data.pak,logo2.bmp"}) {
        SCOPED_TRACE(logo);
        FakeClock::calls = 0;
        FakeClock::frames.clear();
        showWithWipe(logo);
        EXPECT_GT(FakeClock::calls, 300);
        EXPECT_FALSE(FakeClock::frames.front().lit);
        EXPECT_TRUE(FakeClock::frames[FakeClock::frames.size() / 2].lit);
        EXPECT_EQ(gfxtest::countNot(screen, 0), 0);
    }
}

SDL_Event eventOf(Uint8 type, SDLKey key = SDLK_UNKNOWN)
{
    SDL_Event event = {};
    event.type = type;
    event.key.keysym.sym = key;
    return event;
}

// Ten pointer events, as a player clicking and turning the wheel sends them.
void pushPointerBurst()
{
    for (int i = 0; i < 10; i++) {
        SDL_Event e = eventOf(i % 2 ? SDL_MOUSEBUTTONUP : SDL_MOUSEBUTTONDOWN);
        e.button.button = static_cast<Uint8>(i % 3 == 2 ? SDL_BUTTON_WHEELDOWN : SDL_BUTTON_LEFT);
        SDL_PushEvent(&e);
    }
}

// A close, F12 or a quit signal ends the logo in the frame it comes, opening
// or closing, also after 200 pointer events over the frames before it (more
// than SDL's queue holds); other keys and clicks do not, and no click is left
// for the menu.
TEST_F(TransitionTest, CloseF12AndQuitSignalsEndItAtOnce)
{
    writePak(true);
    platform::catchQuitSignals();
    const struct {
        const char* what;
        std::function<void()> ask;
        bool ends;
        bool burst;  // 10 pointer events in each of the 20 frames before
    } cases[] = {
        {"close", [] { SDL_Event e = eventOf(SDL_QUIT); SDL_PushEvent(&e); }, true, false},
        {"F12", [] { SDL_Event e = eventOf(SDL_KEYDOWN, SDLK_F12); SDL_PushEvent(&e); }, true, false},
        {"SIGTERM", [] { raise(SIGTERM); }, true, false},
        {"close after clicks", [] { SDL_Event e = eventOf(SDL_QUIT); SDL_PushEvent(&e); }, true, true},
        {"F12 after clicks", [] { SDL_Event e = eventOf(SDL_KEYDOWN, SDLK_F12); SDL_PushEvent(&e); }, true, true},
        {"Return", [] { SDL_Event e = eventOf(SDL_KEYDOWN, SDLK_RETURN); SDL_PushEvent(&e); }, false, false},
        {"click", [] { SDL_Event e = eventOf(SDL_MOUSEBUTTONDOWN); SDL_PushEvent(&e); }, false, false},
    };
    FakeClock::step = 25;
    for (const auto& c : cases) {
        for (int at : {20, 300}) {  // opening, closing
            SCOPED_TRACE(std::string(c.what) + " at reading " + std::to_string(at));
            int askedAt = at + (c.burst ? 20 : 0);
            FakeClock::calls = 0;
            FakeClock::hookCall = at;
            FakeClock::hook = [&c, askedAt] {
                if (FakeClock::calls < askedAt) {
                    pushPointerBurst();
                    FakeClock::hookCall++;
                } else {
                    c.ask();
                }
            };
            EXPECT_EQ(showWithWipe("zip:data.pak,logo.bmp"), !c.ends);
            if (c.ends)
                EXPECT_EQ(FakeClock::calls, askedAt);
            else
                EXPECT_GT(FakeClock::calls, 350);
            EXPECT_EQ(platform::quitSignalled(), std::string(c.what) == "SIGTERM");
            platform::clearQuitSignal();
            input::releaseAllKeys();
            SDL_Event left;
            EXPECT_EQ(SDL_PeepEvents(&left, 1, SDL_GETEVENT, SDL_ALLEVENTS), 0) << "left queued";
            while (SDL_PeepEvents(&left, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0) {
            }
        }
    }
}
