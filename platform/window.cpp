#include "platform/window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/main_loop.h"
#include "platform/window_gtk.h"
#include "platform/window_headless.h"

namespace platform {
namespace {

std::optional<WindowProvider> g_provider;

bool headlessRequested() {
    const char* v = std::getenv("NIMBARO_HEADLESS");
    return v && std::strcmp(v, "1") == 0;
}

// Modal loops running, innermost last.
std::vector<ModalLoop*> g_modalLoops;

}  // namespace

WindowProvider initWindowing(bool forceHeadless) {
    if (g_provider) return *g_provider;
    bool headless = forceHeadless || headlessRequested() || !gtk::openDisplay();
    g_provider = headless ? WindowProvider::Headless : WindowProvider::Gtk;
    return *g_provider;
}

WindowProvider windowProvider() { return initWindowing(false); }

std::unique_ptr<Window> createWindow(const WindowOptions& options, WindowHandler* handler) {
    if (!handler) return nullptr;
    if (windowProvider() == WindowProvider::Gtk) return gtk::createWindow(options, handler);
    return createHeadlessWindow(options, handler);
}

Rect workArea(const Window* near) {
    if (windowProvider() == WindowProvider::Gtk) {
        Rect r = gtk::workArea(near);
        if (!r.empty()) return r;
    }
    return headlessWorkArea();
}

int ModalLoop::run(int quitCode) {
    if (running_) return quitCode;  // not re-entrant on one object
    if (ended_) {
        ended_ = false;
        return code_;
    }
    running_ = true;
    g_modalLoops.push_back(this);
    MainLoop::run();
    g_modalLoops.erase(std::find(g_modalLoops.begin(), g_modalLoops.end(), this));
    running_ = false;
    bool byEnd = ended_;
    ended_ = false;
    if (!byEnd) {
        // A quit request ended this loop; it was meant for the program, so the loop outside ends too.
        MainLoop::quit();
        return quitCode;
    }
    // An outer loop that was ended while this one ran can stop now.
    if (!g_modalLoops.empty() && g_modalLoops.back()->ended_) MainLoop::quit();
    return code_;
}

void ModalLoop::end(int code) {
    if (ended_) return;
    ended_ = true;
    code_ = code;
    if (running_ && !g_modalLoops.empty() && g_modalLoops.back() == this) MainLoop::quit();
}

}  // namespace platform
