// A skinned window for the GUI test: built from a layout file, it prints "ready X Y" (the screen centre
// of the button "okbtn") once laid out, "click NAME" for every click notification and "closed CODE" when
// it is gone.
//   skinui-gui-window LAYOUT_FILE TITLE
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/main_loop.h"
#include "skinui/control.h"
#include "skinui/control_factory.h"
#include "skinui/window_impl_base.h"
#include "utility/text_codec.h"

namespace {

using namespace SkinUI;

// A push button of the test's own, for as long as the toolkit has none: "click" on a release inside.
class TestButton : public CControlUI {
public:
    std::wstring_view GetClass() const override { return L"Button"; }
    void DoEvent(TEventUI& event) override {
        if (event.Type == UIEVENT_BUTTONDOWN) {
            pushed_ = true;
            return;
        }
        if (event.Type == UIEVENT_BUTTONUP) {
            bool inside = RectContainsPoint(GetPos(), event.ptMouse);
            if (pushed_ && inside && GetManager()) GetManager()->SendNotify(this, L"click");
            pushed_ = false;
            return;
        }
        CControlUI::DoEvent(event);
    }

private:
    bool pushed_ = false;
};

class GuiWindow : public WindowImplBase {
public:
    explicit GuiWindow(std::wstring layout) : layout_(std::move(layout)) {}

    void Notify(TNotifyMsg& msg) override {
        std::string name = msg.pSender ? utility::wideToUtf8(msg.pSender->GetName()) : "";
        if (msg.sType == L"windowinit") {
            const SkinRect& r = msg.pSender->GetManager()->FindControl(L"okbtn")->GetPos();
            platform::Point centre = GetHWND()->clientToScreen({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
            std::printf("ready %d %d\n", centre.x, centre.y);
        } else if (msg.sType == L"click") {
            std::printf("click %s\n", name.c_str());
        }
        WindowImplBase::Notify(msg);
    }
    CControlUI* CreateControl(const std::wstring& tag) override {
        return tag == L"Button" ? new TestButton() : nullptr;
    }

protected:
    std::wstring_view GetWindowClassName() const override { return L"SkinUIGuiWindow"; }
    std::wstring GetSkinFolder() override { return L""; }
    std::wstring GetSkinFile() override { return layout_; }
    void OnFinalMessage(platform::Window* window) override {
        WindowImplBase::OnFinalMessage(window);
        std::printf("closed %d\n", GetCloseCode());
        platform::MainLoop::quit();
    }

private:
    std::wstring layout_;
};

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc != 3) {
        std::fprintf(stderr, "usage: skinui-gui-window LAYOUT_FILE TITLE\n");
        return 2;
    }
    bool gtk = platform::initWindowing() == platform::WindowProvider::Gtk;
    std::printf("provider %s\n", gtk ? "gtk" : "headless");
    // The toolkit's own button wins when there is one.
    bool ownButton = CControlFactory::Instance().IsRegistered(L"CButtonUI");
    std::printf("button %s\n", ownButton ? "toolkit" : "test");

    // Skin file names that are not absolute paths are looked up in the skin; this one is a file.
    GuiWindow window(utility::utf8ToWide(std::filesystem::absolute(argv[1]).string()));
    if (!window.Create(nullptr, utility::utf8ToWide(argv[2]), wndstyle::kPopup | wndstyle::kClipChildren, 0)) return 1;
    window.CenterWindow();
    window.ShowWindow(true, true);
    platform::MainLoop::quitOnTerminationSignals();
    CPaintManagerUI::MessageLoop();
    return 0;
}
