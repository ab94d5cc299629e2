#include "platform/SavedFiles.h"

namespace platform {

// On disk, a renamed and synced file already lasts.
void prepareSavedFiles()
{
}

void keepSavedFiles()
{
}

}  // namespace platform
