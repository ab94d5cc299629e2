// Playing the board from the keyboard: the arrow keys step the pointer from
// cell centre to cell centre, Space and Return click on the group under it.
#pragma once

// Moves (x, y) to the centre of the cell `columns` and `rows` away from the
// cell under it, kept on the board; a pointer over the panel counts as over
// the last column.
void stepAcrossBoard(int& x, int& y, int columns, int rows);

// Reads the keys for one pass that took passMs. The arrows steer the pointer
// (held, they repeat) unless a name is being typed: then every key belongs to
// the name. Returns how often Space or Return went down outside name entry.
int readBoardKeys(int passMs, bool typingName);
