#pragma once
// GTK provider internals shared by platform/ sources (the dialogs need the native window of an owner).
// Never include this outside platform/: GDK pulls in X11 headers.
#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "platform/window.h"

namespace platform::gtk {

// gtk_init_check once, when DISPLAY or WAYLAND_DISPLAY is set. True when a display is open.
bool openDisplay();

std::unique_ptr<Window> createWindow(const WindowOptions& options, WindowHandler* handler);

// The GtkWindow behind a window of the GTK provider; null for null or a headless window.
GtkWindow* nativeWindow(const Window* window);

Rect workArea(const Window* near);

// Text at the GTK boundary. Invalid input becomes U+FFFD, never an error.
std::string toUtf8(const std::wstring& text);
std::wstring fromUtf8(const char* text);

}  // namespace platform::gtk
