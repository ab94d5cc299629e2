#include "game/BoardKeys.h"

#include "game/Board.h"
#include "platform/Input.h"

namespace {

int cellOf(int pixel)
{
    int cell = pixel / kCellSize;
    return cell < 0 ? 0 : cell >= kBoardSize ? kBoardSize - 1 : cell;
}

}  // namespace

void stepAcrossBoard(int& x, int& y, int columns, int rows)
{
    int column = cellOf(x) + columns;
    int row = cellOf(y) + rows;
    column = column < 0 ? 0 : column >= kBoardSize ? kBoardSize - 1 : column;
    row = row < 0 ? 0 : row >= kBoardSize ? kBoardSize - 1 : row;
    x = column * kCellSize + kCellSize / 2;
    y = row * kCellSize + kCellSize / 2;
}

int readBoardKeys(int passMs, bool typingName)
{
    // The arrows are read in every pass, so that one held through name entry
    // does not count as a new press afterwards.
    int right = input::horizontalSteps(passMs);
    int down = input::verticalSteps(passMs);
    if (typingName)
        return 0;
    if (right != 0 || down != 0) {
        int x, y;
        input::pointer(x, y);
        stepAcrossBoard(x, y, right, down);
        input::steerPointer(x, y);
    }
    return input::keyPresses(SDLK_SPACE) + input::keyPresses(SDLK_RETURN) +
           input::keyPresses(SDLK_KP_ENTER);
}
