// The board model: 15 x 15 cells, column-major ([column][row]), row 14 at the
// bottom. Plain functions over the arrays, so they run without a window.
#pragma once

#include <cstdint>

constexpr int kBoardSize = 15;
constexpr int kCellSize = 32;
constexpr int kBoardPixels = kBoardSize * kCellSize;  // 480
constexpr int kAnimFrames = 20;

// Cell values: 0 empty, 1-3 tiles, 17-19 bonus tiles (colour = value & 15).
constexpr int32_t kEmpty = 0;
constexpr int32_t kDoubleTile = 17;
constexpr int32_t kAddLinesTile = 18;
constexpr int32_t kPointsTile = 19;

namespace tiles {

inline bool sameColour(int32_t a, int32_t b)
{
    return a != kEmpty && (a & 15) == (b & 15);
}

// Two draws of rand per cell (colour, then phase), row by row; then the three
// bonus positions, redrawn until the first shares a row or column with another.
void deal(int32_t board[kBoardSize][kBoardSize], int32_t animPhase[kBoardSize][kBoardSize]);

// Marks the cells of colour `colour` reachable from (column, row).
void flood(const int32_t board[kBoardSize][kBoardSize], uint8_t selected[kBoardSize][kBoardSize],
           int column, int row, int32_t colour);

// Rebuilds `selected` for the pointer at (x, y); returns the preview points
// (group size squared, 0 without a group of two or more).
int32_t selectAt(const int32_t board[kBoardSize][kBoardSize],
                 uint8_t selected[kBoardSize][kBoardSize], int x, int y);

// One row of falling, then one column of closing. True when anything moved.
bool settle(int32_t board[kBoardSize][kBoardSize]);

// True when two orthogonal neighbours share a colour; tileCount gets the
// number of non-empty cells.
bool hasMove(const int32_t board[kBoardSize][kBoardSize], int& tileCount);

}  // namespace tiles
