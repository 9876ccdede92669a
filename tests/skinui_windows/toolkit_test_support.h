#pragma once
// Headless skinned windows for the toolkit tests: a probe button that records what reaches it, a window
// built from layout text, and helpers that drive it by control name.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/main_loop.h"
#include "platform/window_headless.h"
#include "skinui/container.h"
#include "skinui/control.h"
#include "skinui/paint_manager.h"
#include "skinui/window_impl_base.h"
#include "utility/text_codec.h"

namespace toolkit_test {

using namespace SkinUI;

inline std::string narrow(const std::wstring& w) { return utility::wideToUtf8(w); }

// What every probe saw, in order: "enter a", "leave a", "down a", "up a", "key a 27", "deleted a" ...
inline std::vector<std::string>& journal() {
    static std::vector<std::string> lines;
    return lines;
}

// A minimal push button: pressed by a button-down inside it, it sends "click" when the button is released
// inside it. It answers to the class name "Button", as the frame's hit test expects of buttons.
class ProbeButton : public CControlUI {
public:
    ~ProbeButton() override { journal().push_back("deleted " + narrow(GetName())); }
    std::wstring_view GetClass() const override { return L"Button"; }
    void DoEvent(TEventUI& event) override {
        std::string name = narrow(GetName());
        switch (event.Type) {
            case UIEVENT_MOUSEENTER: journal().push_back("enter " + name); return;
            case UIEVENT_MOUSELEAVE: journal().push_back("leave " + name); return;
            case UIEVENT_BUTTONDOWN:
                journal().push_back("down " + name);
                pushed_ = true;
                return;
            case UIEVENT_BUTTONUP:
                journal().push_back("up " + name);
                if (pushed_ && RectContainsPoint(GetPos(), event.ptMouse)) Activate();
                pushed_ = false;
                return;
            case UIEVENT_KEYDOWN:
                journal().push_back("key " + name + " " + std::to_string(uint32_t(event.key)));
                return;
            default: CControlUI::DoEvent(event);
        }
    }
    bool Activate() override {
        if (!CControlUI::Activate()) return false;
        if (GetManager()) GetManager()->SendNotify(this, L"click");
        return true;
    }

private:
    bool pushed_ = false;
};

// A window whose layout is the text given; it writes every notification as "type name".
class TestWindow : public WindowImplBase {
public:
    explicit TestWindow(std::wstring layout) : layout_(std::move(layout)) {}

    void Notify(TNotifyMsg& msg) override {
        notes.push_back(narrow(msg.sType) + " " + (msg.pSender ? narrow(msg.pSender->GetName()) : "-"));
        messages.push_back(msg);
        if (onNote) onNote(msg);
        WindowImplBase::Notify(msg);
    }
    CControlUI* CreateControl(const std::wstring& tag) override {
        return tag == L"ProbeButton" ? new ProbeButton() : nullptr;
    }
    platform::HeadlessWindow& headless() const { return *static_cast<platform::HeadlessWindow*>(GetHWND()); }
    using WindowImplBase::OnNcHitTest;

    std::vector<std::string> notes;
    std::vector<TNotifyMsg> messages;
    std::function<void(TNotifyMsg&)> onNote;
    bool finalSeen = false;

protected:
    std::wstring_view GetWindowClassName() const override { return L"TestWindow"; }
    std::wstring GetSkinFolder() override { return L""; }
    std::wstring GetSkinFile() override { return layout_; }
    void OnFinalMessage(platform::Window* window) override {
        WindowImplBase::OnFinalMessage(window);
        finalSeen = true;
    }

private:
    std::wstring layout_;
};

// The notes whose type is one of `types`, in order.
inline std::vector<std::string> notesOf(const TestWindow& window, std::initializer_list<std::string> types) {
    std::vector<std::string> out;
    for (const std::string& note : window.notes) {
        std::string type = note.substr(0, note.find(' '));
        for (const std::string& t : types) {
            if (type == t) out.push_back(note);
        }
    }
    return out;
}

// The journal lines starting with one of `prefixes` followed by a space.
inline std::vector<std::string> journalOf(std::initializer_list<std::string> prefixes) {
    std::vector<std::string> out;
    for (const std::string& line : journal()) {
        for (const std::string& p : prefixes) {
            if (line.rfind(p + " ", 0) == 0) out.push_back(line);
        }
    }
    return out;
}

class HeadlessToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(platform::initWindowing(true), platform::WindowProvider::Headless);
        journal().clear();
    }

    // A shown window built from `layout`, laid out and painted once.
    std::unique_ptr<TestWindow> open(const std::wstring& layout) {
        auto window = std::make_unique<TestWindow>(layout);
        EXPECT_NE(window->Create(nullptr, L"test", wndstyle::kPopup, 0), nullptr);
        window->ShowWindow(true, true);
        settle(*window);
        window->notes.clear();
        window->messages.clear();
        journal().clear();
        return window;
    }

    // Delivers queued input and posted messages and paints until nothing is left to do.
    static void settle(TestWindow& window) {
        for (int i = 0; i < 20 && window.GetHWND(); ++i) {
            platform::MainLoop::drain();
            if (!window.GetHWND()) return;
            bool pumped = window.headless().pump();
            if (!pumped || !window.GetHWND()) return;
            bool painted = window.headless().paintNow();
            if (!painted && !window.headless().hasQueuedInput()) {
                platform::MainLoop::drain();
                if (!window.GetHWND() || !window.headless().hasQueuedInput()) return;
            }
        }
    }

    static CControlUI* find(TestWindow& window, const std::wstring& name) {
        CControlUI* control = window.GetPaintManager().FindControl(name);
        EXPECT_NE(control, nullptr) << narrow(name);
        return control;
    }
    static platform::Point centreOf(TestWindow& window, const std::wstring& name) {
        CControlUI* control = find(window, name);
        if (!control) return {-100, -100};
        const SkinRect& r = control->GetPos();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    static void moveTo(TestWindow& window, const std::wstring& name) {
        platform::Point p = centreOf(window, name);
        window.headless().mouseMove(p.x, p.y);
        settle(window);
    }
    static void clickOn(TestWindow& window, const std::wstring& name) {
        platform::Point p = centreOf(window, name);
        window.headless().click(p.x, p.y);
        settle(window);
    }
};

}  // namespace toolkit_test
