// The table of the nine best results and its 360-byte file "scores.qbx".
#pragma once

#include <cstdint>

struct HighScoreRecord {
    char name[32];    // zero-terminated; a damaged file may lack the zero
    int32_t score;    // little-endian in the file, as in memory here
    int32_t cleared;  // 0 or 1
};
static_assert(sizeof(HighScoreRecord) == 40, "the file holds 40-byte records");

constexpr int kHighScoreCount = 9;
extern HighScoreRecord highScores[kHighScoreCount];

void loadHighScores();
void resetHighScores();
// Replaces the file with the table; a symbolic link "scores.qbx" stays and
// the file it leads to takes the table. A table we may not write is kept.
void saveHighScores();
// Removes temporary files that saves of this user left behind when their
// game died ("scores.qbx.XXXXXX" beside the table), at start-up.
void removeLeftoverScoreFiles();

// Index 0-8 where score would go (first record strictly below it), or -1.
int highScoreRank(int32_t score);
void insertHighScore(int index, const char* name, int32_t score, int32_t cleared);

// Length of a record's name, never reading past its 32 bytes.
int highScoreNameLength(const HighScoreRecord& record);

// A record's name with its terminator, also when a damaged file left it out.
struct HighScoreName {
    char text[sizeof HighScoreRecord::name + 1];
};
HighScoreName highScoreName(const HighScoreRecord& record);
