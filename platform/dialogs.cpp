#include "platform/dialogs.h"

#include <algorithm>
#include <cstdio>

#include "platform/system.h"
#include "platform/window_gtk.h"

namespace platform {
namespace {

DialogResponder& responder() {
    static auto* r = new DialogResponder;
    return *r;
}

// The answer of a box nobody could see: never the one that goes ahead.
MessageResult unseenAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok: return MessageResult::Ok;
        case MessageButtons::OkCancel: return MessageResult::Cancel;
        case MessageButtons::YesNo: return MessageResult::No;
    }
    return MessageResult::Cancel;
}

GtkMessageType messageType(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Info: return GTK_MESSAGE_INFO;
        case MessageIcon::Warning: return GTK_MESSAGE_WARNING;
        case MessageIcon::Error: return GTK_MESSAGE_ERROR;
        case MessageIcon::Question: return GTK_MESSAGE_QUESTION;
        case MessageIcon::None: break;
    }
    return GTK_MESSAGE_OTHER;
}

GtkButtonsType buttonsType(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok: return GTK_BUTTONS_OK;
        case MessageButtons::OkCancel: return GTK_BUTTONS_OK_CANCEL;
        case MessageButtons::YesNo: return GTK_BUTTONS_YES_NO;
    }
    return GTK_BUTTONS_OK;
}

}  // namespace

void setDialogResponder(DialogResponder r) { responder() = std::move(r); }

MessageResult messageBox(const Window* owner, const std::wstring& text, const std::wstring& caption, MessageIcon icon,
                         MessageButtons buttons) {
    if (responder().messageBox) return responder().messageBox(text, caption, icon, buttons);
    if (windowProvider() != WindowProvider::Gtk) {
        std::string line = gtk::toUtf8(caption) + ": " + gtk::toUtf8(text) + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
        return unseenAnswer(buttons);
    }
    auto flags = GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT);
    GtkWidget* dialog = gtk_message_dialog_new(gtk::nativeWindow(owner), flags, messageType(icon), buttonsType(buttons),
                                               "%s", gtk::toUtf8(text).c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), gtk::toUtf8(caption).c_str());
    if (!owner) gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    // Return answers with the first button, the one that goes ahead.
    int first = buttons == MessageButtons::YesNo ? GTK_RESPONSE_YES : GTK_RESPONSE_OK;
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), first);
    if (GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), first))
        gtk_widget_grab_focus(button);
    int response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    switch (response) {
        case GTK_RESPONSE_OK: return MessageResult::Ok;
        case GTK_RESPONSE_CANCEL: return MessageResult::Cancel;
        case GTK_RESPONSE_YES: return MessageResult::Yes;
        case GTK_RESPONSE_NO: return MessageResult::No;
        default: return unseenAnswer(buttons);  // closed without an answer
    }
}

std::optional<std::wstring> pickFolder(const Window* owner, const std::wstring& title) {
    std::string home = homeDir();
    if (responder().pickFolder) return responder().pickFolder(title, gtk::fromUtf8(home.c_str()));
    if (windowProvider() != WindowProvider::Gtk) return std::nullopt;
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        gtk::toUtf8(title).c_str(), gtk::nativeWindow(owner), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
        g_dgettext("gtk30", "_Cancel"), GTK_RESPONSE_CANCEL, g_dgettext("gtk30", "_Select"), GTK_RESPONSE_ACCEPT,
        nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    // Without a window manager nothing would fit the chooser onto the screen.
    Rect area = workArea(owner);
    gtk_window_set_default_size(GTK_WINDOW(dialog), std::min(640, std::max(area.width(), 320)),
                                std::min(480, std::max(area.height(), 240)));
    if (!owner) gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_file_chooser_set_local_only(chooser, TRUE);
    gtk_file_chooser_set_create_folders(chooser, TRUE);
    gtk_file_chooser_set_current_folder(chooser, home.c_str());
    std::optional<std::wstring> chosen;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        gchar* path = gtk_file_chooser_get_filename(chooser);
        if (path) chosen = gtk::fromUtf8(path);
        g_free(path);
    }
    gtk_widget_destroy(dialog);
    return chosen;
}

}  // namespace platform
