// The GTK 3 window provider: an undecorated, app-paintable GtkWindow per window, its input translated by
// WindowBase. Sections: text, key mapping, the window class (construction, signals, native requests),
// provider functions.
#include "platform/window_gtk.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/window_base.h"

namespace platform::gtk {

// ---- text ----

std::string toUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = uint32_t(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

std::u32string utf32FromUtf8(const char* text) {
    std::u32string out;
    if (!text) return out;
    gchar* valid = g_utf8_make_valid(text, -1);
    glong n = 0;
    gunichar* chars = g_utf8_to_ucs4_fast(valid, -1, &n);
    out.assign(chars, chars + n);
    g_free(chars);
    g_free(valid);
    return out;
}

}  // namespace

std::wstring fromUtf8(const char* text) {
    std::u32string u = utf32FromUtf8(text);
    return std::wstring(u.begin(), u.end());
}

namespace {

// ---- key mapping ----

Key namedKey(guint keyval) {
    switch (keyval) {
        case GDK_KEY_BackSpace: return Key::Backspace;
        case GDK_KEY_Tab:
        case GDK_KEY_ISO_Left_Tab:
        case GDK_KEY_KP_Tab: return Key::Tab;
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter: return Key::Return;
        case GDK_KEY_Escape: return Key::Escape;
        case GDK_KEY_space:
        case GDK_KEY_KP_Space: return Key::Space;
        case GDK_KEY_Left:
        case GDK_KEY_KP_Left: return Key::Left;
        case GDK_KEY_Up:
        case GDK_KEY_KP_Up: return Key::Up;
        case GDK_KEY_Right:
        case GDK_KEY_KP_Right: return Key::Right;
        case GDK_KEY_Down:
        case GDK_KEY_KP_Down: return Key::Down;
        case GDK_KEY_Home:
        case GDK_KEY_KP_Home: return Key::Home;
        case GDK_KEY_End:
        case GDK_KEY_KP_End: return Key::End;
        case GDK_KEY_Page_Up:
        case GDK_KEY_KP_Page_Up: return Key::PageUp;
        case GDK_KEY_Page_Down:
        case GDK_KEY_KP_Page_Down: return Key::PageDown;
        case GDK_KEY_Insert:
        case GDK_KEY_KP_Insert: return Key::Insert;
        case GDK_KEY_Delete:
        case GDK_KEY_KP_Delete: return Key::Delete;
        case GDK_KEY_Shift_L:
        case GDK_KEY_Shift_R: return Key::Shift;
        case GDK_KEY_Control_L:
        case GDK_KEY_Control_R: return Key::Control;
        case GDK_KEY_Alt_L:
        case GDK_KEY_Alt_R:
        case GDK_KEY_Meta_L:
        case GDK_KEY_Meta_R: return Key::Alt;
        case GDK_KEY_Menu: return Key::Menu;
        default: break;
    }
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12) return Key(uint32_t(Key::F1) + (keyval - GDK_KEY_F1));
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return Key('0' + (keyval - GDK_KEY_KP_0));
    guint upper = gdk_keyval_to_upper(keyval);
    if (upper >= GDK_KEY_A && upper <= GDK_KEY_Z) return Key(upper);
    if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return Key(keyval);
    return Key::Other;
}

// Letters and digits keep their code whatever the layout: a key that gives no Latin symbol is looked up in
// the first layout group, as shortcuts expect.
Key keyOf(const GdkEventKey* e) {
    Key k = namedKey(e->keyval);
    if (k != Key::Other) return k;
    guint keyval = 0;
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(e->window));
    if (gdk_keymap_translate_keyboard_state(keymap, e->hardware_keycode, GdkModifierType(e->state & GDK_SHIFT_MASK),
                                            0, &keyval, nullptr, nullptr, nullptr))
        return namedKey(keyval);
    return Key::Other;
}

uint32_t keyStateOf(guint state) {
    uint32_t ks = 0;
    if (state & GDK_SHIFT_MASK) ks |= keystate::Shift;
    if (state & GDK_CONTROL_MASK) ks |= keystate::Control;
    if (state & GDK_MOD1_MASK) ks |= keystate::Alt;
    if (state & GDK_BUTTON1_MASK) ks |= keystate::LeftButton;
    if (state & GDK_BUTTON2_MASK) ks |= keystate::MiddleButton;
    if (state & GDK_BUTTON3_MASK) ks |= keystate::RightButton;
    return ks;
}

const char* cursorName(Cursor c) {
    switch (c) {
        case Cursor::Arrow: return "default";
        case Cursor::Hand: return "pointer";
        case Cursor::IBeam: return "text";
        case Cursor::Wait: return "wait";
        case Cursor::Progress: return "progress";
        case Cursor::Cross: return "crosshair";
        case Cursor::SizeWE: return "ew-resize";
        case Cursor::SizeNS: return "ns-resize";
        case Cursor::SizeNWSE: return "nwse-resize";
        case Cursor::SizeNESW: return "nesw-resize";
        case Cursor::SizeAll: return "move";
        case Cursor::NotAllowed: return "not-allowed";
    }
    return "default";
}

GdkWindowEdge edgeOf(HitArea a) {
    switch (a) {
        case HitArea::TopLeft: return GDK_WINDOW_EDGE_NORTH_WEST;
        case HitArea::Top: return GDK_WINDOW_EDGE_NORTH;
        case HitArea::TopRight: return GDK_WINDOW_EDGE_NORTH_EAST;
        case HitArea::Left: return GDK_WINDOW_EDGE_WEST;
        case HitArea::Right: return GDK_WINDOW_EDGE_EAST;
        case HitArea::BottomLeft: return GDK_WINDOW_EDGE_SOUTH_WEST;
        case HitArea::Bottom: return GDK_WINDOW_EDGE_SOUTH;
        default: return GDK_WINDOW_EDGE_SOUTH_EAST;
    }
}

int gtkButton(MouseButton b) {
    switch (b) {
        case MouseButton::Left: return 1;
        case MouseButton::Middle: return 2;
        case MouseButton::Right: return 3;
    }
    return 1;
}

GdkMonitor* monitorFor(GtkWidget* widget) {
    GdkDisplay* display = gdk_display_get_default();
    if (!display) return nullptr;
    GdkWindow* gw = widget ? gtk_widget_get_window(widget) : nullptr;
    if (gw) return gdk_display_get_monitor_at_window(display, gw);
    GdkMonitor* m = gdk_display_get_primary_monitor(display);
    return m ? m : gdk_display_get_monitor(display, 0);
}

// ---- the window ----

class GtkProviderWindow final : public WindowBase {
public:
    GtkProviderWindow(const WindowOptions& options, WindowHandler* handler);
    ~GtkProviderWindow() override { teardown(); }

    WindowProvider provider() const override { return WindowProvider::Gtk; }
    bool isComposited() const override { return composited_; }
    GtkWindow* gtkWindow() const { return widget_ ? GTK_WINDOW(widget_) : nullptr; }
    GtkWidget* widget() const { return widget_; }

protected:
    void nativeShow(bool activate) override;
    void nativeHide() override { gtk_widget_hide(widget_); }
    void nativeDestroy() override { teardown(); }
    void nativeSetBounds(const Rect& r) override;
    void nativeMinimize() override { gtk_window_iconify(gtkWindow()); }
    void nativeMaximize() override { gtk_window_maximize(gtkWindow()); }
    void nativeRestore() override;
    void nativeSetTopMost(bool topMost) override { gtk_window_set_keep_above(gtkWindow(), topMost); }
    void nativeFocus() override;
    void nativeSetSizeLimits(Size minimum, Size maximum) override;
    void nativeSetTitle(const std::wstring& title) override {
        gtk_window_set_title(gtkWindow(), toUtf8(title).c_str());
    }
    void nativeSetIcon(cairo_surface_t* image) override;
    void nativeSetOpacity(uint8_t opacity) override { gtk_widget_set_opacity(widget_, opacity / 255.0); }
    void nativeSetShape(const std::vector<Rect>& rows) override;
    void nativeSetCursor(Cursor cursor) override;
    void nativeInvalidate(const Rect& r) override {
        gtk_widget_queue_draw_area(widget_, r.left, r.top, r.width(), r.height());
    }
    bool nativeGrabPointer(bool grab) override;
    void nativeBeginMoveDrag(MouseButton button, Point screen, uint32_t time) override {
        gtk_window_begin_move_drag(gtkWindow(), gtkButton(button), screen.x, screen.y, time);
    }
    void nativeBeginResizeDrag(HitArea edge, MouseButton button, Point screen, uint32_t time) override {
        gtk_window_begin_resize_drag(gtkWindow(), edgeOf(edge), gtkButton(button), screen.x, screen.y, time);
    }
    void nativeShowTooltip(const std::wstring& text, Point screenAnchor, int maxWidth) override;
    void nativeHideTooltip() override {
        if (tooltip_) gtk_widget_hide(tooltip_);
    }
    void nativeSetTextInputArea(const Rect& r) override {
        GdkRectangle area{r.left, r.top, r.width(), r.height()};
        gtk_im_context_set_cursor_location(im_, &area);
    }
    uint32_t doubleClickTime() const override;
    int doubleClickDistance() const override;

private:
    static gboolean onDraw(GtkWidget*, cairo_t* cr, gpointer self);
    static gboolean onConfigure(GtkWidget*, GdkEventConfigure* e, gpointer self);
    static gboolean onWindowState(GtkWidget*, GdkEventWindowState* e, gpointer self);
    static gboolean onDelete(GtkWidget*, GdkEvent*, gpointer self);
    static void onDestroy(GtkWidget*, gpointer self);
    static gboolean onMotion(GtkWidget*, GdkEventMotion* e, gpointer self);
    static gboolean onButton(GtkWidget*, GdkEventButton* e, gpointer self);
    static gboolean onCrossing(GtkWidget*, GdkEventCrossing* e, gpointer self);
    static gboolean onScroll(GtkWidget*, GdkEventScroll* e, gpointer self);
    static gboolean onKey(GtkWidget*, GdkEventKey* e, gpointer self);
    static gboolean onFocus(GtkWidget*, GdkEventFocus* e, gpointer self);
    static gboolean onGrabBroken(GtkWidget*, GdkEvent*, gpointer self);
    static void onRealize(GtkWidget*, gpointer self);
    static gboolean onMap(GtkWidget*, GdkEvent*, gpointer self);
    static void onCommit(GtkIMContext*, const gchar* text, gpointer self);
    static void onPreeditChanged(GtkIMContext* im, gpointer self);

    void teardown();
    void applyCursor();

    GtkWidget* widget_ = nullptr;
    GtkIMContext* im_ = nullptr;
    GtkWidget* tooltip_ = nullptr;
    GtkWidget* tooltipLabel_ = nullptr;
    bool composited_ = false;
    bool collecting_ = false;  // commits during a key press wait until its KeyDown was sent
    std::u32string collected_;
    bool preedit_ = false;
    bool focusOnMap_ = false;
};

GtkProviderWindow::GtkProviderWindow(const WindowOptions& options, WindowHandler* handler)
    : WindowBase(options, handler) {
    widget_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* win = GTK_WINDOW(widget_);
    gtk_window_set_decorated(win, FALSE);
    gtk_widget_set_app_paintable(widget_, TRUE);
    gtk_window_set_title(win, toUtf8(options.title).c_str());
    if (!options.taskbar) {
        gtk_window_set_skip_taskbar_hint(win, TRUE);
        gtk_window_set_skip_pager_hint(win, TRUE);
    }
    if (GtkWindow* owner = nativeWindow(options.owner)) gtk_window_set_transient_for(win, owner);

    // Without a compositor an RGBA window shows black where it is transparent: keep the default visual then.
    GdkScreen* screen = gtk_widget_get_screen(widget_);
    GdkVisual* rgba = gdk_screen_get_rgba_visual(screen);
    if (rgba && gdk_screen_is_composited(screen)) {
        gtk_widget_set_visual(widget_, rgba);
        composited_ = true;
    }

    gtk_widget_add_events(widget_, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                       GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK | GDK_ENTER_NOTIFY_MASK |
                                       GDK_LEAVE_NOTIFY_MASK | GDK_SCROLL_MASK | GDK_FOCUS_CHANGE_MASK |
                                       GDK_STRUCTURE_MASK);
    Rect b = bounds();
    gtk_window_set_default_size(win, std::max(b.width(), 1), std::max(b.height(), 1));
    gtk_window_resize(win, std::max(b.width(), 1), std::max(b.height(), 1));
    gtk_window_move(win, b.left, b.top);

    g_signal_connect(widget_, "draw", G_CALLBACK(onDraw), this);
    g_signal_connect(widget_, "configure-event", G_CALLBACK(onConfigure), this);
    g_signal_connect(widget_, "window-state-event", G_CALLBACK(onWindowState), this);
    g_signal_connect(widget_, "delete-event", G_CALLBACK(onDelete), this);
    g_signal_connect(widget_, "destroy", G_CALLBACK(onDestroy), this);
    g_signal_connect(widget_, "motion-notify-event", G_CALLBACK(onMotion), this);
    g_signal_connect(widget_, "button-press-event", G_CALLBACK(onButton), this);
    g_signal_connect(widget_, "button-release-event", G_CALLBACK(onButton), this);
    g_signal_connect(widget_, "enter-notify-event", G_CALLBACK(onCrossing), this);
    g_signal_connect(widget_, "leave-notify-event", G_CALLBACK(onCrossing), this);
    g_signal_connect(widget_, "scroll-event", G_CALLBACK(onScroll), this);
    g_signal_connect(widget_, "key-press-event", G_CALLBACK(onKey), this);
    g_signal_connect(widget_, "key-release-event", G_CALLBACK(onKey), this);
    g_signal_connect(widget_, "focus-in-event", G_CALLBACK(onFocus), this);
    g_signal_connect(widget_, "focus-out-event", G_CALLBACK(onFocus), this);
    g_signal_connect(widget_, "grab-broken-event", G_CALLBACK(onGrabBroken), this);
    g_signal_connect(widget_, "realize", G_CALLBACK(onRealize), this);
    g_signal_connect(widget_, "map-event", G_CALLBACK(onMap), this);

    im_ = gtk_im_multicontext_new();
    g_signal_connect(im_, "commit", G_CALLBACK(onCommit), this);
    g_signal_connect(im_, "preedit-changed", G_CALLBACK(onPreeditChanged), this);

    gtk_widget_realize(widget_);
}

void GtkProviderWindow::teardown() {
    if (tooltip_) {
        gtk_widget_destroy(tooltip_);
        tooltip_ = tooltipLabel_ = nullptr;
    }
    if (im_) {
        g_signal_handlers_disconnect_by_data(im_, this);
        gtk_im_context_set_client_window(im_, nullptr);
        g_object_unref(im_);
        im_ = nullptr;
    }
    if (widget_) {
        g_signal_handlers_disconnect_by_data(widget_, this);
        gtk_widget_destroy(widget_);
        widget_ = nullptr;
    }
    markNativeGone();
}

// ---- signals ----

void GtkProviderWindow::onRealize(GtkWidget* widget, gpointer self) {
    auto* w = static_cast<GtkProviderWindow*>(self);
    gtk_im_context_set_client_window(w->im_, gtk_widget_get_window(widget));
    w->applyCursor();
}

gboolean GtkProviderWindow::onMap(GtkWidget*, GdkEvent*, gpointer self) {
    auto* w = static_cast<GtkProviderWindow*>(self);
    if (w->focusOnMap_) {
        w->focusOnMap_ = false;
        gtk_window_present(w->gtkWindow());
    }
    return FALSE;
}

gboolean GtkProviderWindow::onDraw(GtkWidget* widget, cairo_t* cr, gpointer self) {
    auto* w = static_cast<GtkProviderWindow*>(self);
    GdkRectangle clip;
    if (!gdk_cairo_get_clip_rectangle(cr, &clip)) return TRUE;
    cairo_save(cr);
    if (w->translucent() && w->composited_) {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgba(cr, 0, 0, 0, 0);
        cairo_paint(cr);
    } else {
        gtk_render_background(gtk_widget_get_style_context(widget), cr, 0, 0, gtk_widget_get_allocated_width(widget),
                              gtk_widget_get_allocated_height(widget));
    }
    cairo_restore(cr);
    w->feedPaint(cr, Rect{clip.x, clip.y, clip.x + clip.width, clip.y + clip.height});
    return TRUE;
}

gboolean GtkProviderWindow::onConfigure(GtkWidget*, GdkEventConfigure* e, gpointer self) {
    static_cast<GtkProviderWindow*>(self)->feedConfigure(Rect{e->x, e->y, e->x + e->width, e->y + e->height});
    return FALSE;  // GTK still has to allocate the new size
}

gboolean GtkProviderWindow::onWindowState(GtkWidget*, GdkEventWindowState* e, gpointer self) {
    if (!(e->changed_mask & (GDK_WINDOW_STATE_ICONIFIED | GDK_WINDOW_STATE_MAXIMIZED))) return FALSE;
    SizeState s = SizeState::Restored;
    if (e->new_window_state & GDK_WINDOW_STATE_ICONIFIED) s = SizeState::Minimized;
    else if (e->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) s = SizeState::Maximized;
    static_cast<GtkProviderWindow*>(self)->feedSizeState(s);
    return FALSE;
}

gboolean GtkProviderWindow::onDelete(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<GtkProviderWindow*>(self)->feedCloseRequest();
    return TRUE;  // the handler decides; unhandled, WindowBase destroys
}

void GtkProviderWindow::onDestroy(GtkWidget*, gpointer self) {
    // Only a destruction we did not ask for gets here (ours disconnects first).
    auto* w = static_cast<GtkProviderWindow*>(self);
    g_signal_handlers_disconnect_by_data(w->widget_, w);
    w->widget_ = nullptr;
    w->teardown();
    w->feedNativeDestroyed();
}

gboolean GtkProviderWindow::onMotion(GtkWidget*, GdkEventMotion* e, gpointer self) {
    static_cast<GtkProviderWindow*>(self)->feedMotion(Point{int(std::floor(e->x)), int(std::floor(e->y))},
                                                      keyStateOf(e->state));
    return TRUE;
}

gboolean GtkProviderWindow::onButton(GtkWidget*, GdkEventButton* e, gpointer self) {
    // Double clicks are told apart by WindowBase from the press times; GTK's own 2/3-press events are extra.
    if (e->type != GDK_BUTTON_PRESS && e->type != GDK_BUTTON_RELEASE) return TRUE;
    MouseButton b;
    switch (e->button) {
        case 1: b = MouseButton::Left; break;
        case 2: b = MouseButton::Middle; break;
        case 3: b = MouseButton::Right; break;
        default: return TRUE;
    }
    static_cast<GtkProviderWindow*>(self)->feedButton(b, e->type == GDK_BUTTON_PRESS,
                                                      Point{int(std::floor(e->x)), int(std::floor(e->y))},
                                                      keyStateOf(e->state), e->time);
    return TRUE;
}

gboolean GtkProviderWindow::onCrossing(GtkWidget*, GdkEventCrossing* e, gpointer self) {
    if (e->detail == GDK_NOTIFY_INFERIOR) return TRUE;
    Crossing mode;
    switch (e->mode) {
        case GDK_CROSSING_NORMAL:
        case GDK_CROSSING_TOUCH_BEGIN:
        case GDK_CROSSING_TOUCH_END: mode = Crossing::Normal; break;
        case GDK_CROSSING_GRAB:
        case GDK_CROSSING_GTK_GRAB: mode = Crossing::Grab; break;
        case GDK_CROSSING_UNGRAB:
        case GDK_CROSSING_GTK_UNGRAB: mode = Crossing::Ungrab; break;
        default: return TRUE;  // state changes and device switches move no pointer
    }
    static_cast<GtkProviderWindow*>(self)->feedCrossing(e->type == GDK_ENTER_NOTIFY, mode,
                                                        Point{int(std::floor(e->x)), int(std::floor(e->y))},
                                                        keyStateOf(e->state));
    return TRUE;
}

gboolean GtkProviderWindow::onScroll(GtkWidget*, GdkEventScroll* e, gpointer self) {
    int delta = 0;
    if (e->direction == GDK_SCROLL_UP) delta = kWheelNotch;
    else if (e->direction == GDK_SCROLL_DOWN) delta = -kWheelNotch;
    else if (e->direction == GDK_SCROLL_SMOOTH) delta = int(std::lround(-e->delta_y * kWheelNotch));
    static_cast<GtkProviderWindow*>(self)->feedWheel(delta, Point{int(std::floor(e->x)), int(std::floor(e->y))},
                                                     keyStateOf(e->state));
    return TRUE;
}

gboolean GtkProviderWindow::onKey(GtkWidget*, GdkEventKey* e, gpointer self) {
    auto* w = static_cast<GtkProviderWindow*>(self);
    auto ref = w->selfRef();
    bool press = e->type == GDK_KEY_PRESS;
    bool composingBefore = w->preedit_;
    // The input method sees the key first, but what it commits goes out after the key's own message.
    w->collecting_ = true;
    w->collected_.clear();
    bool filtered = gtk_im_context_filter_keypress(w->im_, e);
    w->collecting_ = false;
    std::u32string text = std::move(w->collected_);
    w->collected_.clear();
    if (!filtered && press && text.empty() && !(e->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK))) {
        gunichar c = gdk_keyval_to_unicode(e->keyval);
        if (c >= 0x20 && c != 0x7F) text.push_back(c);
    }
    w->feedKey(press, keyOf(e), keyStateOf(e->state), composingBefore || w->preedit_);
    if (!*ref || w->isDestroyed()) return TRUE;
    if (!text.empty()) w->feedText(text);
    return TRUE;
}

gboolean GtkProviderWindow::onFocus(GtkWidget*, GdkEventFocus* e, gpointer self) {
    auto* w = static_cast<GtkProviderWindow*>(self);
    if (e->in) gtk_im_context_focus_in(w->im_);
    else gtk_im_context_focus_out(w->im_);
    w->feedFocus(e->in);
    return FALSE;
}

gboolean GtkProviderWindow::onGrabBroken(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<GtkProviderWindow*>(self)->feedGrabBroken();
    return FALSE;
}

void GtkProviderWindow::onCommit(GtkIMContext*, const gchar* text, gpointer self) {
    auto* w = static_cast<GtkProviderWindow*>(self);
    std::u32string chars = utf32FromUtf8(text);
    if (w->collecting_) w->collected_ += chars;
    else w->feedText(chars);
}

void GtkProviderWindow::onPreeditChanged(GtkIMContext* im, gpointer self) {
    auto* w = static_cast<GtkProviderWindow*>(self);
    gchar* text = nullptr;
    gtk_im_context_get_preedit_string(im, &text, nullptr, nullptr);
    w->preedit_ = text && *text;
    std::wstring wide = fromUtf8(text);
    g_free(text);
    w->feedPreedit(wide);
}

// ---- native requests ----

void GtkProviderWindow::nativeShow(bool activate) {
    GtkWindow* win = gtkWindow();
    if (activate) {
        nativeFocus();
        gtk_widget_show(widget_);
        return;
    }
    // Read when the window maps, which gtk_widget_show does at once for a top-level window.
    gtk_window_set_focus_on_map(win, FALSE);
    gtk_widget_show(widget_);
    gtk_window_set_focus_on_map(win, TRUE);
}

void GtkProviderWindow::nativeFocus() {
    // Presenting a window that is not mapped yet only shows it and leaves the focus to a window manager,
    // which may not run: take the focus once the window is on the screen.
    if (gtk_widget_get_mapped(widget_)) gtk_window_present(gtkWindow());
    else focusOnMap_ = true;
}

void GtkProviderWindow::nativeSetBounds(const Rect& r) {
    gtk_window_move(gtkWindow(), r.left, r.top);
    gtk_window_resize(gtkWindow(), std::max(r.width(), 1), std::max(r.height(), 1));
}

void GtkProviderWindow::nativeRestore() {
    if (sizeState() == SizeState::Minimized) gtk_window_deiconify(gtkWindow());
    if (sizeState() == SizeState::Maximized) gtk_window_unmaximize(gtkWindow());
}

void GtkProviderWindow::nativeSetSizeLimits(Size minimum, Size maximum) {
    GdkGeometry geometry{};
    int mask = 0;
    if (minimum.width > 0 || minimum.height > 0) {
        geometry.min_width = std::max(minimum.width, 1);
        geometry.min_height = std::max(minimum.height, 1);
        mask |= GDK_HINT_MIN_SIZE;
    }
    if (maximum.width > 0 || maximum.height > 0) {
        geometry.max_width = maximum.width > 0 ? maximum.width : G_MAXSHORT;
        geometry.max_height = maximum.height > 0 ? maximum.height : G_MAXSHORT;
        mask |= GDK_HINT_MAX_SIZE;
    }
    gtk_window_set_geometry_hints(gtkWindow(), nullptr, &geometry, GdkWindowHints(mask));
}

void GtkProviderWindow::nativeSetIcon(cairo_surface_t* image) {
    if (!image || cairo_surface_get_type(image) != CAIRO_SURFACE_TYPE_IMAGE) {
        gtk_window_set_icon(gtkWindow(), nullptr);
        return;
    }
    int width = cairo_image_surface_get_width(image);
    int height = cairo_image_surface_get_height(image);
    GdkPixbuf* pixbuf = width > 0 && height > 0 ? gdk_pixbuf_get_from_surface(image, 0, 0, width, height) : nullptr;
    gtk_window_set_icon(gtkWindow(), pixbuf);
    if (pixbuf) g_object_unref(pixbuf);
}

void GtkProviderWindow::nativeSetShape(const std::vector<Rect>& rows) {
    if (rows.empty()) {
        gtk_widget_shape_combine_region(widget_, nullptr);
        gtk_widget_input_shape_combine_region(widget_, nullptr);
        return;
    }
    cairo_region_t* region = cairo_region_create();
    for (const Rect& r : rows) {
        cairo_rectangle_int_t rect{r.left, r.top, r.width(), r.height()};
        cairo_region_union_rectangle(region, &rect);
    }
    gtk_widget_shape_combine_region(widget_, region);
    gtk_widget_input_shape_combine_region(widget_, region);
    cairo_region_destroy(region);
}

void GtkProviderWindow::nativeSetCursor(Cursor) { applyCursor(); }

void GtkProviderWindow::applyCursor() {
    GdkWindow* gw = widget_ ? gtk_widget_get_window(widget_) : nullptr;
    if (!gw) return;
    GdkCursor* c = gdk_cursor_new_from_name(gdk_window_get_display(gw), cursorName(cursor()));
    gdk_window_set_cursor(gw, c);  // a theme without the shape gives null: the default arrow
    if (c) g_object_unref(c);
}

bool GtkProviderWindow::nativeGrabPointer(bool grab) {
    GdkWindow* gw = gtk_widget_get_window(widget_);
    if (!gw) return false;
    GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(gw));
    if (!grab) {
        gdk_seat_ungrab(seat);
        return false;
    }
    return gdk_seat_grab(seat, gw, GDK_SEAT_CAPABILITY_ALL_POINTING, TRUE, nullptr, nullptr, nullptr, nullptr) ==
           GDK_GRAB_SUCCESS;
}

void GtkProviderWindow::nativeShowTooltip(const std::wstring& text, Point anchor, int maxWidth) {
    if (!tooltip_) {
        tooltip_ = gtk_window_new(GTK_WINDOW_POPUP);
        gtk_window_set_type_hint(GTK_WINDOW(tooltip_), GDK_WINDOW_TYPE_HINT_TOOLTIP);
        gtk_window_set_transient_for(GTK_WINDOW(tooltip_), gtkWindow());
        gtk_style_context_add_class(gtk_widget_get_style_context(tooltip_), "tooltip");
        tooltipLabel_ = gtk_label_new("");
        for (auto setMargin : {gtk_widget_set_margin_start, gtk_widget_set_margin_end}) setMargin(tooltipLabel_, 6);
        for (auto setMargin : {gtk_widget_set_margin_top, gtk_widget_set_margin_bottom}) setMargin(tooltipLabel_, 4);
        gtk_container_add(GTK_CONTAINER(tooltip_), tooltipLabel_);
        gtk_widget_show(tooltipLabel_);
    }
    GtkLabel* label = GTK_LABEL(tooltipLabel_);
    gtk_label_set_text(label, toUtf8(text).c_str());
    gtk_label_set_line_wrap(label, FALSE);
    gtk_widget_set_size_request(tooltipLabel_, -1, -1);
    if (maxWidth > 0) {
        int minimum = 0, natural = 0;
        gtk_widget_get_preferred_width(tooltipLabel_, &minimum, &natural);
        if (natural > maxWidth) {
            gtk_label_set_line_wrap(label, TRUE);
            gtk_widget_set_size_request(tooltipLabel_, maxWidth, -1);
        }
    }
    gtk_window_resize(GTK_WINDOW(tooltip_), 1, 1);
    GtkRequisition size{};
    gtk_widget_get_preferred_size(tooltip_, nullptr, &size);
    // Below the pointer, so the tip never sits under it and takes the pointer away from the window.
    Rect area = gtk::workArea(this);
    int x = anchor.x;
    int y = anchor.y + 20;
    if (!area.empty()) {
        x = std::clamp(x, area.left, std::max(area.left, area.right - size.width));
        if (y + size.height > area.bottom) y = anchor.y - 4 - size.height;
        y = std::clamp(y, area.top, std::max(area.top, area.bottom - size.height));
    }
    gtk_window_move(GTK_WINDOW(tooltip_), x, y);
    gtk_widget_show(tooltip_);
}

uint32_t GtkProviderWindow::doubleClickTime() const {
    gint ms = 400;
    g_object_get(gtk_widget_get_settings(widget_), "gtk-double-click-time", &ms, nullptr);
    return uint32_t(std::max(ms, 1));
}

int GtkProviderWindow::doubleClickDistance() const {
    gint px = 5;
    g_object_get(gtk_widget_get_settings(widget_), "gtk-double-click-distance", &px, nullptr);
    return std::max(px, 0);
}

}  // namespace

// ---- provider functions ----

bool openDisplay() {
    static int state = -1;
    if (state >= 0) return state == 1;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland)) {
        state = 0;
        return false;
    }
    // X11 first, also under Wayland (through XWayland): windows are placed by their own code (centring over
    // the owner, the tooltip next to the pointer), which Wayland does not allow.
    gdk_set_allowed_backends("x11,*");
    state = gtk_init_check(nullptr, nullptr) ? 1 : 0;
    return state == 1;
}

std::unique_ptr<Window> createWindow(const WindowOptions& options, WindowHandler* handler) {
    return std::make_unique<GtkProviderWindow>(options, handler);
}

GtkWindow* nativeWindow(const Window* window) {
    if (!window || window->provider() != WindowProvider::Gtk) return nullptr;
    return static_cast<const GtkProviderWindow*>(window)->gtkWindow();
}

Rect workArea(const Window* near) {
    GtkWidget* widget = nullptr;
    if (near && near->provider() == WindowProvider::Gtk)
        widget = static_cast<const GtkProviderWindow*>(near)->widget();
    GdkMonitor* monitor = monitorFor(widget);
    if (!monitor) return Rect{};
    GdkRectangle r;
    gdk_monitor_get_workarea(monitor, &r);
    return Rect{r.x, r.y, r.x + r.width, r.y + r.height};
}

}  // namespace platform::gtk
