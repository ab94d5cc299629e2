// The title screen's state machine as the main loop drives it: pointer bands,
// clicks, Escape, F1 and window close on every page.
#include <functional>

#include "MenuFixture.h"
#include "audio/Audio.h"

namespace {

struct RowCase {
    int row;
    int item;
};
const RowCase kRows[] = {{0, 0},     {250, 0}, {251, 1}, {293, 1}, {294, 2}, {335, 2},
                         {336, 3},   {377, 3}, {378, 4}, {419, 4}, {420, 0}, {479, 0}};

TEST_F(MenuTest, PointerRowPicksTheItemBand)
{
    for (const RowCase& row : kRows) {
        pointAt(row.row);
        pass();
        EXPECT_EQ(menu->hoverItem, row.item) << "row " << row.row;
        EXPECT_EQ(menuItemAtRow(row.row), row.item) << "row " << row.row;
    }
}

TEST_F(MenuTest, ClickOnTheMainPageActsOnTheBandUnderThePointer)
{
    struct Expected {
        int row;
        int page;
        int nextState;
    };
    const Expected cases[] = {{250, kPageMain, 0},    {251, kPageClosing, 1},
                              {293, kPageClosing, 1}, {294, kPageScores, 0},
                              {335, kPageScores, 0},  {336, kPageAbout, 0},
                              {377, kPageAbout, 0},   {378, kPageClosing, 2},
                              {419, kPageClosing, 2}, {420, kPageMain, 0}};
    for (const Expected& expected : cases) {
        menu->page = kPageMain;
        menu->nextState = 0;
        pointAt(expected.row);
        click();
        EXPECT_EQ(pass(), 0);
        EXPECT_EQ(menu->page, expected.page) << "row " << expected.row;
        EXPECT_EQ(menu->nextState, expected.nextState) << "row " << expected.row;
    }
}

TEST_F(MenuTest, AnyButtonReleaseIsAClickAndOtherEventsAreDropped)
{
    menu->page = kPageMain;
    pointAt(300);
    SDL_Event press = {};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.type = SDL_MOUSEBUTTONDOWN;
    press.button.button = SDL_BUTTON_LEFT;
    press.button.state = SDL_PRESSED;
    SDL_PushEvent(&press);
    pass();
    EXPECT_EQ(menu->page, kPageMain);
    EXPECT_EQ(pendingEvents(), 0);

    click(SDL_BUTTON_RIGHT);
    pass();
    EXPECT_EQ(menu->page, kPageScores);
}

TEST_F(MenuTest, OpeningFadeEndsByItselfOrAtAClick)
{
    ASSERT_EQ(menu->page, kPageOpening);
    pointAt(100);
    pass(100);
    pass(100);
    EXPECT_EQ(menu->fadeLevel, 40);
    click();
    pass();
    // The fade stops where it stood; the picture is shown whole from now on.
    EXPECT_EQ(menu->page, kPageMain);
    EXPECT_EQ(menu->fadeLevel, 40);
    pass(100);
    EXPECT_EQ(menu->fadeLevel, 40);
}

TEST_F(MenuTest, OpeningFadeRunsToTheMainPage)
{
    pointAt(100);
    int passes = 0;
    while (menu->page == kPageOpening && passes < 100) {
        EXPECT_EQ(pass(100), 0);
        passes++;
    }
    // 20 levels a pass: 260 is the first level above 256.
    EXPECT_EQ(passes, 13);
    EXPECT_EQ(menu->page, kPageMain);
    EXPECT_EQ(menu->fadeLevel, 260);
}

TEST_F(MenuTest, EscapeLeavesEveryPageButTheClosedOne)
{
    const int pages[] = {kPageOpening, kPageMain, kPageAbout, kPageScores, kPageClosing};
    for (int page : pages) {
        menu->page = page;
        menu->nextState = page == kPageClosing ? 1 : 0;
        input::pressKey(SDLK_ESCAPE);
        EXPECT_EQ(pass(), 0);
        input::releaseKey(SDLK_ESCAPE);
        EXPECT_EQ(menu->page, kPageMain) << "page " << page;
    }
    // Escape cancels the switch but the choice stays made.
    EXPECT_EQ(menu->nextState, 1);
}

TEST_F(MenuTest, ClickLeavesTheAboutPageAndTheScoreBoard)
{
    pointAt(260);  // over Play, which must not matter on these pages
    for (int page : {kPageAbout, kPageScores}) {
        menu->page = page;
        click();
        pass();
        EXPECT_EQ(menu->page, kPageMain) << "page " << page;
        EXPECT_EQ(menu->nextState, 0);
    }
}

TEST_F(MenuTest, WindowCloseStartsTheClosingFadeOnEveryPage)
{
    for (int page : {kPageOpening, kPageMain, kPageAbout, kPageScores}) {
        menu->page = page;
        menu->nextState = 0;
        closeWindow();
        EXPECT_EQ(pass(), 0);
        EXPECT_EQ(menu->page, kPageClosing) << "page " << page;
        EXPECT_EQ(menu->nextState, 2) << "page " << page;
    }
    // While closing for Play, a close request turns it into quit.
    menu->page = kPageClosing;
    menu->nextState = 1;
    closeWindow();
    pass();
    EXPECT_EQ(menu->page, kPageClosing);
    EXPECT_EQ(menu->nextState, 2);
}

TEST_F(MenuTest, F1ResetsTheTableOnlyOnTheScoreBoard)
{
    input::pressKey(SDLK_F1);
    for (int page : {kPageOpening, kPageMain, kPageAbout, kPageClosing}) {
        menu->page = page;
        menu->nextState = page == kPageClosing ? 2 : 0;
        highScores[0].score = 4242;
        pass();
        EXPECT_EQ(highScores[0].score, 4242) << "page " << page;
    }
    menu->page = kPageScores;
    menu->nextState = 0;
    pass();
    EXPECT_EQ(menu->page, kPageScores);
    EXPECT_EQ(highScores[0].score, 9);
    // Held down it resets on every pass.
    highScores[3].score = 777;
    pass();
    EXPECT_EQ(highScores[3].score, 6);
}

TEST_F(MenuTest, ClosingFadeEndsInTheChosenState)
{
    for (int row : {260, 400}) {
        delete menu;
        menu = createTitleMenu();
        finishOpening();
        pointAt(row);
        click();
        EXPECT_EQ(pass(), 0);
        ASSERT_EQ(menu->page, kPageClosing);
        int result = 0;
        int passes = 0;
        while (result == 0 && passes < 100) {
            result = pass(100);
            passes++;
        }
        EXPECT_EQ(menu->page, kPageClosed);
        EXPECT_EQ(result, row == 260 ? 1 : 2);
        // From 260 down 20 a pass: -40 is still open, -60 closes.
        EXPECT_EQ(passes, 16);
        EXPECT_EQ(menu->fadeLevel, -60);
    }
}

TEST_F(MenuTest, ClosedMenuReadsNoKeysOrEvents)
{
    finishOpening();
    pointAt(400);
    click();
    pass();
    while (menu->page == kPageClosing)
        pass(100);
    ASSERT_EQ(menu->page, kPageClosed);

    closeWindow();
    input::pressKey(SDLK_ESCAPE);
    EXPECT_EQ(pass(), 2);
    EXPECT_EQ(menu->page, kPageClosed);
    EXPECT_EQ(pendingEvents(), 1);
}

TEST_F(MenuTest, AfterACancelledChoiceOnlyEscapeLeavesTheInnerPages)
{
    finishOpening();
    pointAt(270);
    click();
    pass();
    ASSERT_EQ(menu->page, kPageClosing);
    pass(50);
    int level = menu->fadeLevel;
    EXPECT_EQ(level, 260 - 10);

    input::pressKey(SDLK_ESCAPE);
    pass();
    input::releaseKey(SDLK_ESCAPE);
    EXPECT_EQ(menu->page, kPageMain);
    EXPECT_EQ(menu->nextState, 1);
    EXPECT_EQ(menu->fadeLevel, level);

    for (int row : {300, 350}) {
        int page = row == 300 ? kPageScores : kPageAbout;
        pointAt(row);
        click();
        pass();
        ASSERT_EQ(menu->page, page);
        click();
        pass();
        EXPECT_EQ(menu->page, page) << "a click must not leave page " << page;
        input::pressKey(SDLK_ESCAPE);
        pass();
        input::releaseKey(SDLK_ESCAPE);
        EXPECT_EQ(menu->page, kPageMain);
    }

    // A new choice closes again from the level where the fade stopped.
    pointAt(400);
    click();
    pass();
    EXPECT_EQ(menu->page, kPageClosing);
    EXPECT_EQ(menu->nextState, 2);
    pass(100);
    EXPECT_EQ(menu->fadeLevel, level - 20);
}


// The music follows the fade level only while a fade runs.
class MenuMusicTest : public MenuTest {
protected:
    void SetUp() override
    {
        audioInit(44100, 16, 4096, 4, false);
        MenuTest::SetUp();
    }
    void TearDown() override
    {
        MenuTest::TearDown();
        audioShutdown();
    }
    int volume() const { return menu->music.module->volume; }
    void holdEscapeForAPass()
    {
        input::pressKey(SDLK_ESCAPE);
        pass();
        input::releaseKey(SDLK_ESCAPE);
    }
};

TEST_F(MenuMusicTest, FadeStoppedBeforeItsEndGivesTheMusicFullVolume)
{
    if (!menu->music.module)
        GTEST_SKIP() << "no audio device";
    struct Cut {
        const char* what;
        bool closing;
        std::function<void()> stop;
    };
    auto clickThrough = [this] {
        click();
        pass();
    };
    auto escape = [this] { holdEscapeForAPass(); };
    const Cut cuts[] = {
        {"click during the opening fade", false, clickThrough},
        {"Escape during the opening fade", false, escape},
        {"Escape during the closing fade", true, escape},
    };
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.what);
        delete menu;
        menu = createTitleMenu();
        pointAt(100);
        if (cut.closing) {
            finishOpening();
            pointAt(400);
            click();
            pass();
            ASSERT_EQ(menu->page, kPageClosing);
            // From 260 down to -40: the music has gone quiet.
            for (int i = 0; i < 15; i++)
                pass(100);
        } else {
            pass(100);  // level 20
        }
        EXPECT_EQ(volume(), cut.closing ? 0 : 20);
        cut.stop();
        ASSERT_EQ(menu->page, kPageMain);
        pass(16);
        EXPECT_EQ(volume(), 63);
        pass(16);
        EXPECT_EQ(volume(), 63);
    }
}

}  // namespace

namespace {

// One key held for one pass, then let go.
struct KeyCase {
    int page;
    int nextState;
    int row;  // the mouse's row
    SDLKey key;
    int hoverAfter;
    int pageAfter;
    int nextStateAfter;
};
const KeyCase kKeys[] = {
    // Up and Down walk the items, wrapping; from no item they come in at
    // the first or the last.
    {kPageMain, 0, 100, SDLK_DOWN, 1, kPageMain, 0},
    {kPageMain, 0, 100, SDLK_UP, 4, kPageMain, 0},
    {kPageMain, 0, 272, SDLK_DOWN, 2, kPageMain, 0},
    {kPageMain, 0, 272, SDLK_UP, 4, kPageMain, 0},
    {kPageMain, 0, 400, SDLK_DOWN, 1, kPageMain, 0},
    {kPageOpening, 0, 315, SDLK_UP, 1, kPageOpening, 0},
    {kPageScores, 0, 315, SDLK_DOWN, 2, kPageScores, 0},  // no items shown
    // Return and Space act as a click on every page.
    {kPageMain, 0, 272, SDLK_RETURN, 1, kPageClosing, 1},
    {kPageMain, 0, 315, SDLK_SPACE, 2, kPageScores, 0},
    {kPageMain, 0, 356, SDLK_KP_ENTER, 3, kPageAbout, 0},
    {kPageMain, 0, 400, SDLK_SPACE, 4, kPageClosing, 2},
    {kPageMain, 0, 100, SDLK_RETURN, 0, kPageMain, 0},
    {kPageScores, 0, 272, SDLK_RETURN, 1, kPageMain, 0},
    {kPageAbout, 0, 272, SDLK_SPACE, 1, kPageMain, 0},
    {kPageOpening, 0, 100, SDLK_RETURN, 0, kPageMain, 0},
    {kPageScores, 1, 272, SDLK_SPACE, 1, kPageScores, 1},  // cancelled choice
    {kPageClosing, 2, 272, SDLK_RETURN, 1, kPageClosing, 2},
};

TEST_F(MenuTest, ArrowsWalkTheItemsAndReturnOrSpaceClicks)
{
    for (const KeyCase& c : kKeys) {
        input::releaseAllKeys();  // the mouse has the pointer
        pointAt(c.row);
        menu->page = c.page;
        menu->nextState = c.nextState;
        input::pressKey(c.key);
        pass();
        input::releaseKey(c.key);
        // The next pass finds the item under the pointer the keys moved.
        pass();
        EXPECT_EQ(menu->hoverItem, c.hoverAfter) << "row " << c.row << " key " << c.key;
        EXPECT_EQ(menu->page, c.pageAfter) << "row " << c.row << " key " << c.key;
        EXPECT_EQ(menu->nextState, c.nextStateAfter) << "row " << c.row << " key " << c.key;
    }

    // Held, Down repeats after the delay; the mouse takes the pointer back.
    pointAt(100);
    menu->page = kPageMain;
    input::pressKey(SDLK_DOWN);
    pass(16);
    pass(input::kRepeatDelay);
    pass(input::kRepeatInterval);
    input::releaseKey(SDLK_DOWN);
    pass();
    EXPECT_EQ(menu->hoverItem, 3);
    pointAt(400);
    pass();
    EXPECT_EQ(menu->hoverItem, 4);
}

}  // namespace
