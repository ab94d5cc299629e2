#include "game/Board.h"

#include <cstdlib>
#include <cstring>

namespace tiles {

void deal(int32_t board[kBoardSize][kBoardSize], int32_t animPhase[kBoardSize][kBoardSize])
{
    // The order of the draws makes a seed give the same board every time.
    for (int r = 0; r < kBoardSize; r++) {
        for (int c = 0; c < kBoardSize; c++) {
            board[c][r] = rand() % 3 + 1;
            animPhase[c][r] = (rand() + c + r) % kAnimFrames;
        }
    }

    int c1, r1, c2, r2, c3, r3;
    for (;;) {
        c1 = rand() % kBoardSize;
        r1 = rand() % kBoardSize;
        c2 = rand() % kBoardSize;
        r2 = rand() % kBoardSize;
        c3 = rand() % kBoardSize;
        r3 = rand() % kBoardSize;
        if (c1 == c2 || c1 == c3 || r1 == r2 || r1 == r3)
            break;
    }
    // A later bonus replaces an earlier one on the same cell.
    board[c1][r1] = kDoubleTile;
    board[c2][r2] = kAddLinesTile;
    board[c3][r3] = kPointsTile;
}

void flood(const int32_t board[kBoardSize][kBoardSize], uint8_t selected[kBoardSize][kBoardSize],
           int column, int row, int32_t colour)
{
    if (column < 0 || column >= kBoardSize || row < 0 || row >= kBoardSize)
        return;
    if (selected[column][row])
        return;
    if (board[column][row] == kEmpty || (board[column][row] & 15) != (colour & 15))
        return;
    selected[column][row] = 1;
    flood(board, selected, column - 1, row, colour);
    flood(board, selected, column + 1, row, colour);
    flood(board, selected, column, row - 1, colour);
    flood(board, selected, column, row + 1, colour);
}

int32_t selectAt(const int32_t board[kBoardSize][kBoardSize],
                 uint8_t selected[kBoardSize][kBoardSize], int x, int y)
{
    memset(selected, 0, sizeof(uint8_t) * kBoardSize * kBoardSize);
    if (x >= 0 && x < kBoardPixels && y >= 0) {
        int c = x / kCellSize;
        int r = y / kCellSize;
        if (c < kBoardSize && r < kBoardSize && board[c][r] != kEmpty) {
            int32_t colour = board[c][r];
            selected[c][r] = 1;
            flood(board, selected, c - 1, r, colour);
            flood(board, selected, c + 1, r, colour);
            flood(board, selected, c, r - 1, colour);
            flood(board, selected, c, r + 1, colour);
        }
    }

    int count = 0;
    for (int c = 0; c < kBoardSize; c++)
        for (int r = 0; r < kBoardSize; r++)
            count += selected[c][r];
    if (count < 2) {
        // A lone tile is no group.
        memset(selected, 0, sizeof(uint8_t) * kBoardSize * kBoardSize);
        return 0;
    }
    return count * count;
}

bool settle(int32_t board[kBoardSize][kBoardSize])
{
    bool moved = false;

    // Falling: walking up from the bottom moves every run above a gap by one.
    for (int c = 0; c < kBoardSize; c++) {
        for (int r = kBoardSize - 1; r >= 1; r--) {
            if (board[c][r] == kEmpty && board[c][r - 1] != kEmpty) {
                board[c][r] = board[c][r - 1];
                board[c][r - 1] = kEmpty;
                moved = true;
            }
        }
    }

    // Closing: walking right moves every run of columns after a gap by one.
    for (int c = 1; c < kBoardSize; c++) {
        int32_t leftSum = 0;
        for (int r = 0; r < kBoardSize; r++)
            leftSum += board[c - 1][r];
        if (leftSum != 0)
            continue;
        for (int r = 0; r < kBoardSize; r++) {
            if (board[c][r] != kEmpty)
                moved = true;
            board[c - 1][r] = board[c][r];
            board[c][r] = kEmpty;
        }
    }
    return moved;
}

bool hasMove(const int32_t board[kBoardSize][kBoardSize], int& tileCount)
{
    tileCount = 0;
    bool move = false;
    for (int c = 0; c < kBoardSize; c++) {
        for (int r = 0; r < kBoardSize; r++) {
            int32_t value = board[c][r];
            if (value == kEmpty)
                continue;
            tileCount++;
            if (c + 1 < kBoardSize && sameColour(value, board[c + 1][r]))
                move = true;
            if (r >= 1 && sameColour(value, board[c][r - 1]))
                move = true;
        }
    }
    return move;
}

}  // namespace tiles
