// In a browser the notice goes on the page, above the game, and the game
// goes on at once: the page has no modal dialog that would not freeze it.
#include "platform/MessageBox.h"

#include <emscripten.h>

namespace platform {

namespace {

EM_JS(int, noticeWithCaption, (const char* caption, const char* message), {
    if (!Module.notice)
        return 0;
    const title = caption ? UTF8ToString(caption) : "";
    const text = message ? UTF8ToString(message) : "";
    Module.notice(title ? title + ": " + text : text);
    return 1;
});

}  // namespace

int showMessageBox(const char* caption, const char* message)
{
    return noticeWithCaption(caption, message);
}

}  // namespace platform
