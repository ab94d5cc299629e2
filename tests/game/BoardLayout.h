// Boards drawn as 15 text rows, top row first: '.' empty, '1'-'3' tiles,
// 'D' double (17), 'A' add lines (18), 'P' points (19).
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <string>

#include "game/Board.h"

namespace game_test {

struct Cells {
    int32_t cells[kBoardSize][kBoardSize];
};

inline int32_t cellValue(char ch)
{
    switch (ch) {
    case '.': return kEmpty;
    case '1': return 1;
    case '2': return 2;
    case '3': return 3;
    case 'D': return kDoubleTile;
    case 'A': return kAddLinesTile;
    case 'P': return kPointsTile;
    default: throw std::invalid_argument(std::string("bad cell ") + ch);
    }
}

inline char cellChar(int32_t value)
{
    switch (value) {
    case kEmpty: return '.';
    case 1: return '1';
    case 2: return '2';
    case 3: return '3';
    case kDoubleTile: return 'D';
    case kAddLinesTile: return 'A';
    case kPointsTile: return 'P';
    default: return '?';
    }
}

inline void layOutInto(int32_t board[kBoardSize][kBoardSize],
                       std::initializer_list<const char*> rows)
{
    if (rows.size() != kBoardSize)
        throw std::invalid_argument("a board has 15 rows");
    int r = 0;
    for (const char* row : rows) {
        if (std::string(row).size() != kBoardSize)
            throw std::invalid_argument("a row has 15 cells");
        for (int c = 0; c < kBoardSize; c++)
            board[c][r] = cellValue(row[c]);
        r++;
    }
}

// The last rows of a board; the rows above them are empty.
inline void layOutBottomInto(int32_t board[kBoardSize][kBoardSize],
                             std::initializer_list<const char*> rows)
{
    if (rows.size() > kBoardSize)
        throw std::invalid_argument("a board has 15 rows");
    int r = kBoardSize - (int)rows.size();
    for (int top = 0; top < r; top++)
        for (int c = 0; c < kBoardSize; c++)
            board[c][top] = kEmpty;
    for (const char* row : rows) {
        if (std::string(row).size() != kBoardSize)
            throw std::invalid_argument("a row has 15 cells");
        for (int c = 0; c < kBoardSize; c++)
            board[c][r] = cellValue(row[c]);
        r++;
    }
}

inline Cells layOut(std::initializer_list<const char*> rows)
{
    Cells board;
    layOutInto(board.cells, rows);
    return board;
}

// The board as text, one row per line, for readable comparisons.
inline std::string pictureOf(const int32_t board[kBoardSize][kBoardSize])
{
    std::string text;
    for (int r = 0; r < kBoardSize; r++) {
        for (int c = 0; c < kBoardSize; c++)
            text += cellChar(board[c][r]);
        text += '\n';
    }
    return text;
}

inline std::string pictureOf(const Cells& board)
{
    return pictureOf(board.cells);
}

inline std::string pictureOf(std::initializer_list<const char*> rows)
{
    return pictureOf(layOut(rows));
}

// What the tests' players ask of a board in play: the points of its largest
// group (0 when no group is left) and a cell of it, the first in column order.
inline int largestGroup(const int32_t board[kBoardSize][kBoardSize], int& column, int& row)
{
    uint8_t marks[kBoardSize][kBoardSize];
    int best = 0;
    for (int c = 0; c < kBoardSize; c++) {
        for (int r = 0; r < kBoardSize; r++) {
            int points = tiles::selectAt(board, marks, c * kCellSize + kCellSize / 2,
                                         r * kCellSize + kCellSize / 2);
            if (points > best) {
                best = points;
                column = c;
                row = r;
            }
        }
    }
    return best;
}

// True when no tile would fall or slide any more.
inline bool settled(const int32_t board[kBoardSize][kBoardSize])
{
    Cells copy;
    memcpy(copy.cells, board, sizeof copy.cells);
    return !tiles::settle(copy.cells);
}

}  // namespace game_test
