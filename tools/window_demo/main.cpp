// A small window to try the window provider by hand; the GUI test drives it with xdotool. It prints one
// line per thing that happens ("ready", "enter", "click X Y", "move X Y", "escape", "close", ...).
//
//   window-demo [--title TEXT] [--headless] [--png FILE] [--messagebox TEXT] [--pick-folder]
//
// The top 40 pixels are the caption (drag to move), the outer 6 pixels resize, resting the pointer shows a
// tooltip; Escape or a close request ends it. --png writes the first painted frame and ends (headless
// provider only). --messagebox and --pick-folder show that dialog instead and print the answer.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/dialogs.h"
#include "platform/main_loop.h"
#include "platform/window.h"
#include "platform/window_headless.h"

namespace {

constexpr int kCaption = 40;
constexpr int kBorder = 6;

std::wstring widen(const char* s) { return std::wstring(s, s + std::strlen(s)); }

class Demo : public platform::WindowHandler {
public:
    explicit Demo(std::string png) : png_(std::move(png)) {}

    bool onMessage(platform::Window& w, const platform::WindowEvent& e) override {
        using platform::Message;
        switch (e.message) {
            case Message::Paint: paint(w, e.cairo); return true;
            case Message::MouseEnter: std::printf("enter\n"); return true;
            case Message::MouseLeave:
                w.hideTooltip();
                std::printf("leave\n");
                return true;
            case Message::MouseMove:
                w.trackHover(300);  // re-armed on every move, as the toolkit does
                return true;
            case Message::MouseHover:
                std::printf("hover %d %d\n", e.point.x, e.point.y);
                w.showTooltip(L"A tooltip of the demo window", e.point, 200);
                return true;
            case Message::LButtonDown:
                pressed_ = true;
                w.setCapture();
                return true;
            case Message::LButtonUp:
                w.releaseCapture();
                if (pressed_ && w.clientRect().contains(e.point)) std::printf("click %d %d\n", e.point.x, e.point.y);
                pressed_ = false;
                return true;
            case Message::KeyDown:
                if (e.key != platform::Key::Escape) return false;
                std::printf("escape\n");
                w.destroy();
                return true;
            case Message::Char: std::printf("char U+%04X\n", unsigned(e.character)); return true;
            case Message::Move: std::printf("move %d %d\n", e.point.x, e.point.y); return true;
            case Message::Size: std::printf("size %d %d\n", e.size.width, e.size.height); return true;
            case Message::Activate: std::printf("active %d\n", e.active ? 1 : 0); return true;
            case Message::Close: std::printf("close\n"); w.destroy(); return true;
            default: return false;
        }
    }

    platform::HitArea hitTest(platform::Window& w, platform::Point p) override {
        using platform::HitArea;
        platform::Rect c = w.clientRect();
        bool left = p.x < kBorder, right = p.x >= c.right - kBorder;
        bool top = p.y < kBorder, bottom = p.y >= c.bottom - kBorder;
        if (top) return left ? HitArea::TopLeft : right ? HitArea::TopRight : HitArea::Top;
        if (bottom) return left ? HitArea::BottomLeft : right ? HitArea::BottomRight : HitArea::Bottom;
        if (left) return HitArea::Left;
        if (right) return HitArea::Right;
        return p.y < kCaption ? HitArea::Caption : HitArea::Client;
    }

    void onFinalMessage(platform::Window&) override { platform::MainLoop::quit(); }

private:
    void paint(platform::Window& w, cairo_t* cr) {
        platform::Rect c = w.clientRect();
        cairo_set_source_rgb(cr, 0.17, 0.23, 0.33);
        cairo_paint(cr);
        cairo_set_source_rgb(cr, 0.09, 0.13, 0.24);
        cairo_rectangle(cr, 0, 0, c.width(), kCaption);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.95, 0.76, 0.2);
        cairo_rectangle(cr, 20, kCaption + 20, 100, 40);
        cairo_fill(cr);
        if (ready_) return;
        ready_ = true;
        std::printf("ready\n");
        if (png_.empty() || w.provider() != platform::WindowProvider::Headless) return;
        // Write after this paint is complete.
        platform::MainLoop::post([&w, this] {
            auto& hw = static_cast<platform::HeadlessWindow&>(w);
            std::printf(hw.writePng(png_) ? "png written\n" : "png failed\n");
            w.destroy();
        });
    }

    std::string png_;
    bool pressed_ = false;
    bool ready_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::wstring title = L"window-demo";
    std::string png;
    const char* messageText = nullptr;
    bool headless = false, pickFolder = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--title" && i + 1 < argc) title = widen(argv[++i]);
        else if (a == "--png" && i + 1 < argc) png = argv[++i];
        else if (a == "--messagebox" && i + 1 < argc) messageText = argv[++i];
        else if (a == "--headless") headless = true;
        else if (a == "--pick-folder") pickFolder = true;
        else {
            std::fprintf(stderr, "usage: window-demo [--title TEXT] [--headless] [--png FILE] [--messagebox TEXT] "
                                 "[--pick-folder]\n");
            return 2;
        }
    }
    bool gtk = platform::initWindowing(headless) == platform::WindowProvider::Gtk;
    std::printf("provider %s\n", gtk ? "gtk" : "headless");

    if (messageText) {
        auto r = platform::messageBox(nullptr, widen(messageText), title, platform::MessageIcon::Info,
                                      platform::MessageButtons::OkCancel);
        std::printf("answer %s\n", r == platform::MessageResult::Ok ? "ok" : "cancel");
        return 0;
    }
    if (pickFolder) {
        auto folder = platform::pickFolder(nullptr, title);
        if (!folder) {
            std::printf("no folder\n");
            return 0;
        }
        std::string narrow(folder->begin(), folder->end());  // the test picks an ASCII path
        std::printf("folder %s\n", narrow.c_str());
        return 0;
    }

    Demo demo(png);
    platform::WindowOptions options{.title = title, .bounds = {100, 100, 420, 340}, .resizable = true};
    auto window = platform::createWindow(options, &demo);
    platform::MainLoop::quitOnTerminationSignals();
    window->setRoundCorners({16, 16});
    window->show(true);
    platform::MainLoop::run();
    std::printf("end\n");
    return 0;
}
