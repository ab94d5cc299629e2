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
// Replaces the file with the table: what the file holds now (other games in
// the folder save too) with the records entered since this run last read or
// wrote it, or, after a reset, the defaults with both those records and the
// ones the file gained meanwhile. It reads, merges and replaces under the
// lock every save takes (core/ScoreStore.h), so saves of two games at any
// moment keep every record that belongs in the nine. A file that already
// holds it is left alone. A symbolic link "scores.qbx" stays and the file it
// leads to takes the table. A table read-only by its mode is kept; any
// other failure is said on standard error. The table then holds what was
// saved.
void saveHighScores();

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
