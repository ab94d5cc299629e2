// What it takes for the files the game saves (the score table) to last from
// one run to the next. On the desktop the working directory is on disk and
// nothing is needed; in a browser it lives in memory, and the table is kept
// in the browser's own storage.
#pragma once

namespace platform {

// Before the table is first read: makes the saved files visible where the
// game reads them. Does its work once, however often it is called.
void prepareSavedFiles();

// After a save has replaced the table: makes the change last, and returns
// when it has. A storage that refuses is said once; the game plays on.
void keepSavedFiles();

}  // namespace platform
