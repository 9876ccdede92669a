#include "platform/clipboard.h"

#include <memory>

#include "platform/window.h"
#include "platform/window_gtk.h"

namespace platform {

namespace {

std::wstring& headlessClipboard() {
    static std::wstring text;
    return text;
}

using TextCallback = std::function<void(const std::wstring&)>;

void receiveText(GtkClipboard*, const gchar* text, gpointer data) {
    std::unique_ptr<TextCallback> done(static_cast<TextCallback*>(data));
    (*done)(text ? gtk::fromUtf8(text) : std::wstring());
}

}  // namespace

void setClipboardText(const std::wstring& text) {
    if (windowProvider() != WindowProvider::Gtk) {
        headlessClipboard() = text;
        return;
    }
    std::string utf8 = gtk::toUtf8(text);
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), utf8.c_str(), int(utf8.size()));
}

void requestClipboardText(std::function<void(const std::wstring&)> done) {
    if (!done) return;
    if (windowProvider() != WindowProvider::Gtk) {
        done(headlessClipboard());
        return;
    }
    // Asynchronous: a nested wait would run other UI messages (even closing windows) inside the caller.
    gtk_clipboard_request_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), receiveText,
                               new TextCallback(std::move(done)));
}

}  // namespace platform
