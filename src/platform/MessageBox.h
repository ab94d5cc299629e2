// What the desktop gives us in place of a system message box.
#pragma once

namespace platform {

// Shows a modal notice through the desktop's own dialog program (zenity,
// kdialog or xmessage, whichever exists), started without a shell and waited
// for. Without a display nothing is shown. Returns 0 when nothing was shown.
int showMessageBox(const char* caption, const char* message);

}  // namespace platform
