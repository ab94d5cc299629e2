// Long play: a bot plays game after game, in-process as the main loop runs
// them, with the dummy drivers and frames of 100 ms. Heap use must stay flat
// from board 20 on, and the score table must hold exactly the best games.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "audio/Audio.h"
#include "game/Board.h"
#include "game/BoardLayout.h"
#include "game/Game.h"
#include "gfx/Text.h"
#include "platform/Input.h"
#include "core/AppState.h"
#include "core/HighScores.h"
#include "support/TestSupport.h"

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_ASAN 1
#endif
#endif
#ifdef SOAK_UNDER_ASAN
// The sanitizer's allocator keeps its own count (not every compiler ships
// the header that declares it).
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
#endif

namespace {

// Bytes the program holds from the heap right now.
size_t heapInUse()
{
#ifdef SOAK_UNDER_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;  // small blocks and mapped big ones
#endif
}

size_t residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

struct Finished {
    std::string name;
    int score;
};

class Soak : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch = testing_support::startHeadlessSession(true);
        SDL_EnableUNICODE(1);
        settleFrames = 0;
        audioInit(44100, 16, 4096, 4, false);
        ASSERT_TRUE(audioReady);
        srand(2026);
    }

    void TearDown() override
    {
        game.reset();
        audioShutdown();
        testing_support::closeDummyScreen();
        scratch.reset();
    }

    void push(SDL_Event event) { SDL_PushEvent(&event); }

    void clickAt(int column, int row)
    {
        SDL_WarpMouse(static_cast<Uint16>(column * kCellSize + 16),
                      static_cast<Uint16>(row * kCellSize + 16));
        SDL_PumpEvents();
        SDL_Event event;
        memset(&event, 0, sizeof event);
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = SDL_PRESSED;
        event.button.x = static_cast<Uint16>(column * kCellSize + 16);
        event.button.y = static_cast<Uint16>(row * kCellSize + 16);
        push(event);
    }

    // A press carrying the character and a release, as SDL 1.2 sends them.
    void typeKey(SDLKey sym, Uint16 character)
    {
        SDL_Event event;
        memset(&event, 0, sizeof event);
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = sym;
        event.key.keysym.unicode = character;
        push(event);
        event.type = SDL_KEYUP;
        event.key.state = SDL_RELEASED;
        event.key.keysym.unicode = 0;
        push(event);
    }

    void typeName(const std::string& name)
    {
        for (char ch : name) {
            SDLKey sym = static_cast<SDLKey>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
            typeKey(sym, static_cast<Uint16>(ch));
        }
        typeKey(SDLK_RETURN, 13);
    }

    // Plays one game to its end, as the main loop would: made when needed,
    // deleted when runFrame leaves. Counts boards as they end.
    void playGame(const std::string& name)
    {
        game.reset(new Game);
        bool wasOver = false;
        bool typed = false;
        for (int frames = 0; frames < 1000000; frames++) {
            if (game->enteringName && !game->inputLocked && game->messageTimer <= 0 && !typed) {
                typeName(name);
                typed = true;
            } else if (!game->inputLocked && !game->levelOver && game_test::settled(game->board)) {
                int column, row;
                if (game_test::largestGroup(game->board, column, row) > 0)
                    clickAt(column, row);
            }
            int finalScore = game->score;
            frameDelta = 100;
            elapsedTime += frameDelta;
            input::readKeys();
            int next = game->runFrame();
            if (game->levelOver && !wasOver)
                boards++;
            wasOver = game->levelOver;
            if (next != 1) {
                finished.push_back({typed ? name : "", finalScore});
                game.reset();
                return;
            }
        }
        FAIL() << "game '" << name << "' did not end";
    }

    // Plays games until `total` boards have ended; measures the heap at the
    // first game end after `measureFrom` boards and at the last one.
    void playBoards(int total, int measureFrom)
    {
        size_t heapAtStart = 0, residentAtStart = 0;
        int boardsAtStart = 0;
        while (boards < total) {
            char name[32];
            snprintf(name, sizeof name, "Soak Bot %03d", static_cast<int>(finished.size()) + 1);
            playGame(name);
            if (HasFatalFailure())
                return;
            if (boardsAtStart == 0 && boards >= measureFrom) {
                heapAtStart = heapInUse();
                residentAtStart = residentBytes();
                boardsAtStart = boards;
            }
        }
        size_t heapAtEnd = heapInUse();
        size_t residentAtEnd = residentBytes();
        long long heapGrowth = static_cast<long long>(heapAtEnd) - static_cast<long long>(heapAtStart);
        long long residentGrowth =
            static_cast<long long>(residentAtEnd) - static_cast<long long>(residentAtStart);
        printf("soak: %d games, %d boards; heap in use %zu bytes at board %d, %zu at board %d "
               "(%+lld); resident %zu and %zu (%+lld)\n",
               static_cast<int>(finished.size()), boards, heapAtStart, boardsAtStart, heapAtEnd,
               boards, heapGrowth, residentAtStart, residentAtEnd, residentGrowth);
        ::testing::Test::RecordProperty("heap_start", std::to_string(heapAtStart));
        ::testing::Test::RecordProperty("heap_end", std::to_string(heapAtEnd));
        EXPECT_LT(heapGrowth, 1024 * 1024) << "heap grows while boards are played";
#ifndef SOAK_UNDER_ASAN
        // The sanitizer holds freed blocks back in its quarantine, so only
        // the plain build says something about resident memory.
        EXPECT_LT(residentGrowth, 8 * 1024 * 1024) << "resident memory grows";
#endif
    }

    // The table holds the nine best games, best first, older ones above
    // equal later ones, and the file holds the table.
    void expectTableIntact()
    {
        std::vector<Finished> best;
        for (int i = 0; i < kHighScoreCount; i++) {
            char name[8];
            snprintf(name, sizeof name, ".A.A.A.");
            best.push_back({name, 9 - i});
        }
        for (const Finished& game : finished) {
            if (game.name.empty())
                continue;
            auto place = std::find_if(best.begin(), best.end(),
                                      [&](const Finished& entry) { return entry.score < game.score; });
            best.insert(place, game);
        }
        best.resize(kHighScoreCount);
        for (int i = 0; i < kHighScoreCount; i++) {
            const HighScoreRecord& record = highScores[i];
            ASSERT_NE(nullptr, memchr(record.name, 0, sizeof record.name)) << "record " << i;
            EXPECT_EQ(best[i].name, std::string(record.name)) << "record " << i;
            EXPECT_EQ(best[i].score, record.score) << "record " << i;
            EXPECT_EQ(0, record.cleared) << "record " << i;
        }
        std::vector<unsigned char> file = testing_support::readFile("scores.qbx");
        ASSERT_EQ(360u, file.size());
        EXPECT_EQ(0, memcmp(file.data(), highScores, 360));
    }

    std::unique_ptr<testing_support::ScratchDir> scratch;
    std::unique_ptr<Game> game;
    std::vector<Finished> finished;
    int boards = 0;
};

TEST_F(Soak, TwoHundredBoards)
{
    playBoards(200, 20);
    expectTableIntact();
}

// Short enough for the sanitizer build, whose leak check runs at exit.
TEST_F(Soak, TwentyBoards)
{
    playBoards(20, 5);
    expectTableIntact();
}

}  // namespace
