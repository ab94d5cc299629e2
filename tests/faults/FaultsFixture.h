// A scratch folder prepared for a run of the game: data.pak (intact or
// damaged) and a score table from an earlier run that must survive.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "faults/DamagedPak.h"
#include "faults/GameProcess.h"
#include "support/TestSupport.h"

namespace faults {

// Nine records no default table has: long names, odd scores, a cleared mark.
std::string earlierScoreTable();

class FaultsFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // data.pak in the scratch folder: the generated one with these changes.
    void packWith(const std::map<std::string, MemberChange>& changes);
    void packIntact();
    std::string original(const std::string& member);

    // A run in the scratch folder that reaches the menu and is then asked
    // to quit.
    GameRun quitAfterMenu();

    void writeScores();
    // The score file is byte for byte what writeScores put there.
    void expectScoresKept();
    // The allocation tracker built into the game found every block freed.
    void expectNoLeaksReported();

    std::unique_ptr<testing_support::ScratchDir> scratch;
};

// Checks that a run ended by itself with status 0, reported no Error and
// came to its last line.
void expectCleanQuit(const GameResult& result);

// Checks that a run ended by itself with status 0 and that the last thing
// it wrote to standard error is `message` (no line end of its own).
void expectReportedError(const GameResult& result, const std::string& message);

}  // namespace faults
