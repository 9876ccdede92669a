#pragma once
// The platform's own dialogs: a plain message box and the folder picker. Both are modal and run a nested
// UI loop until answered. Without a display the message box writes to standard error and the picker
// answers "cancelled". UI thread.
#include <functional>
#include <optional>
#include <string>

#include "platform/window.h"

namespace platform {

enum class MessageIcon { None, Info, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel, Yes, No };

// Shows `text` under the title `caption`, over `owner` when given. Without a display the answer is Ok for
// an Ok box and Cancel or No otherwise (the safe choice).
MessageResult messageBox(const Window* owner, const std::wstring& text, const std::wstring& caption,
                         MessageIcon icon = MessageIcon::None, MessageButtons buttons = MessageButtons::Ok);

// Lets the user choose a folder, starting in the home folder; the user may create one. The chosen
// absolute path, or nothing when cancelled.
std::optional<std::wstring> pickFolder(const Window* owner, const std::wstring& title);

// Answers dialogs without showing them (tests of the code that asks). Empty functions restore the real
// dialogs.
struct DialogResponder {
    std::function<MessageResult(const std::wstring& text, const std::wstring& caption, MessageIcon,
                                MessageButtons)>
        messageBox;
    std::function<std::optional<std::wstring>(const std::wstring& title, const std::wstring& startFolder)>
        pickFolder;
};
void setDialogResponder(DialogResponder responder);

}  // namespace platform
