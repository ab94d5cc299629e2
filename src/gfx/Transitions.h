// The blocking logo transition of start-up.
#pragma once

// Opens the picture out of black through a random wipe mask, holds it, and
// closes it again; about nine seconds, not skippable.
void showWithWipe(const char* picturePath);
