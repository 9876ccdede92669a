#pragma once
// A window handler that writes every message as one line ("LButtonDown 10,20"), for the headless window
// tests, plus a fixture that makes headless windows.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/main_loop.h"
#include "platform/window_headless.h"

namespace window_test {

inline const char* messageName(platform::Message m) {
    using platform::Message;
    switch (m) {
        case Message::Destroy: return "Destroy";
        case Message::Close: return "Close";
        case Message::Size: return "Size";
        case Message::Move: return "Move";
        case Message::Activate: return "Activate";
        case Message::SetFocus: return "SetFocus";
        case Message::KillFocus: return "KillFocus";
        case Message::Paint: return "Paint";
        case Message::MouseEnter: return "MouseEnter";
        case Message::MouseMove: return "MouseMove";
        case Message::MouseLeave: return "MouseLeave";
        case Message::MouseHover: return "MouseHover";
        case Message::LButtonDown: return "LButtonDown";
        case Message::LButtonUp: return "LButtonUp";
        case Message::LButtonDblClk: return "LButtonDblClk";
        case Message::RButtonDown: return "RButtonDown";
        case Message::RButtonUp: return "RButtonUp";
        case Message::MButtonDown: return "MButtonDown";
        case Message::MButtonUp: return "MButtonUp";
        case Message::MouseWheel: return "MouseWheel";
        case Message::ContextMenu: return "ContextMenu";
        case Message::SetCursor: return "SetCursor";
        case Message::CaptureLost: return "CaptureLost";
        case Message::KeyDown: return "KeyDown";
        case Message::KeyUp: return "KeyUp";
        case Message::Char: return "Char";
        case Message::ImePreedit: return "ImePreedit";
        case Message::Timer: return "Timer";
        default: return "User";
    }
}

inline std::string narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c < 0x80 ? char(c) : '?';
    return s;
}

// The message and the fields that matter for it.
inline std::string describe(const platform::WindowEvent& e) {
    using platform::Message;
    std::string s = messageName(e.message);
    auto pt = [&] { return " " + std::to_string(e.point.x) + "," + std::to_string(e.point.y); };
    switch (e.message) {
        case Message::MouseEnter:
        case Message::MouseMove:
        case Message::MouseLeave:
        case Message::MouseHover:
        case Message::LButtonDown:
        case Message::LButtonUp:
        case Message::LButtonDblClk:
        case Message::RButtonDown:
        case Message::RButtonUp:
        case Message::MButtonDown:
        case Message::MButtonUp:
        case Message::ContextMenu:
        case Message::Move: return s + pt();
        case Message::MouseWheel: return s + " " + std::to_string(e.wheelDelta) + pt();
        case Message::Size:
            return s + " " + std::to_string(e.size.width) + "x" + std::to_string(e.size.height) +
                   (e.sizeState == platform::SizeState::Maximized   ? " max"
                    : e.sizeState == platform::SizeState::Minimized ? " min"
                                                                    : "");
        case Message::Activate: return s + (e.active ? " 1" : " 0");
        case Message::KeyDown:
        case Message::KeyUp: return s + " " + std::to_string(uint32_t(e.key));
        case Message::Char: return s + " " + std::to_string(uint32_t(e.character));
        case Message::ImePreedit: return s + " '" + narrow(e.text) + "'";
        case Message::Paint:
            return s + " " + std::to_string(e.rect.left) + "," + std::to_string(e.rect.top) + "," +
                   std::to_string(e.rect.right) + "," + std::to_string(e.rect.bottom);
        case Message::Timer: return s + " " + std::to_string(e.wParam);
        default: break;
    }
    if (uint32_t(e.message) >= uint32_t(Message::User))
        return "User+" + std::to_string(uint32_t(e.message) - uint32_t(Message::User)) + " " +
               std::to_string(e.wParam) + " " + std::to_string(e.lParam);
    return s;
}

class Recorder : public platform::WindowHandler {
public:
    bool onMessage(platform::Window& w, const platform::WindowEvent& e) override {
        log.push_back(describe(e));
        events.push_back(e);
        return react ? react(w, e) : false;
    }
    platform::HitArea hitTest(platform::Window&, platform::Point p) override {
        return hit ? hit(p) : platform::HitArea::Client;
    }
    void onFinalMessage(platform::Window& w) override {
        log.push_back("Final");
        if (onFinal) onFinal(w);
    }

    // The lines whose message is one of `names`, in order.
    std::vector<std::string> only(std::initializer_list<std::string> names) const {
        std::vector<std::string> out;
        for (const auto& line : log) {
            std::string name = line.substr(0, line.find(' '));
            for (const auto& n : names)
                if (name == n) out.push_back(line);
        }
        return out;
    }
    int count(const std::string& name) const { return int(only({name}).size()); }

    std::vector<std::string> log;
    std::vector<platform::WindowEvent> events;
    std::function<bool(platform::Window&, const platform::WindowEvent&)> react;  // the handler's answer
    std::function<platform::HitArea(platform::Point)> hit;
    std::function<void(platform::Window&)> onFinal;
};

class HeadlessWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(platform::initWindowing(true), platform::WindowProvider::Headless); }

    // A shown window of 320 x 240 at the screen origin, its handler's log emptied.
    std::unique_ptr<platform::HeadlessWindow> makeWindow(platform::WindowOptions options = {}) {
        if (options.bounds == platform::Rect{0, 0, 640, 480}) options.bounds = {0, 0, 320, 240};
        auto w = platform::createHeadlessWindow(options, &rec);
        w->show(true);
        w->pump();
        rec.log.clear();
        rec.events.clear();
        return w;
    }

    // Runs the UI loop until a timer of `ms` fired: everything due before it has happened by then.
    static void settle(uint32_t ms) {
        bool fired = false;
        uint64_t t = platform::MainLoop::addTimer(ms, [&] { fired = true; });
        platform::MainLoop::runUntil([&] { return fired; }, 10000);
        platform::MainLoop::removeTimer(t);
    }

    Recorder rec;
};

}  // namespace window_test
