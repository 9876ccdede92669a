#pragma once
// The desktop's clipboard, text only. With the headless window provider the clipboard is a text of this
// process. UI thread only.
#include <functional>
#include <string>

namespace platform {

void setClipboardText(const std::wstring& text);

// Asks for the clipboard's text; `done` runs on the UI thread once it arrives (empty when the clipboard holds
// no text or its owner does not answer), possibly before this returns. The caller guards against having
// gone away meanwhile.
void requestClipboardText(std::function<void(const std::wstring&)> done);

}  // namespace platform
