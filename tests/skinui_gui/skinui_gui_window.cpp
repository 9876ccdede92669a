// A skinned window for the GUI test: built from a layout file, it prints "edit X Y" and "ready X Y" (the
// screen centres of the edit "nameedit" and the button "okbtn") once laid out, "click NAME", "textchanged
// NAME TEXT" and "return NAME" for those notifications and "closed CODE" when it is gone.
//   skinui-gui-window LAYOUT_FILE TITLE
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/main_loop.h"
#include "skinui/control.h"
#include "skinui/window_impl_base.h"
#include "utility/text_codec.h"

namespace {

using namespace SkinUI;

class GuiWindow : public WindowImplBase {
public:
    explicit GuiWindow(std::wstring layout) : layout_(std::move(layout)) {}

    void Notify(TNotifyMsg& msg) override {
        std::string name = msg.pSender ? utility::wideToUtf8(msg.pSender->GetName()) : "";
        if (msg.sType == L"windowinit") {
            platform::Point edit = centreOf(L"nameedit");
            std::printf("edit %d %d\n", edit.x, edit.y);
            platform::Point combo = centreOf(L"langcombo");
            std::printf("combo %d %d\n", combo.x, combo.y);
            platform::Point button = centreOf(L"okbtn");
            std::printf("ready %d %d\n", button.x, button.y);
        } else if (msg.sType == L"click") {
            std::printf("click %s\n", name.c_str());
        } else if (msg.sType == L"textchanged") {
            std::printf("textchanged %s %s\n", name.c_str(), utility::wideToUtf8(msg.pSender->GetText()).c_str());
        } else if (msg.sType == L"return") {
            std::printf("return %s\n", name.c_str());
        } else if (msg.sType == L"dropdown") {
            std::printf("dropdown %s\n", name.c_str());
        } else if (msg.sType == L"itemselect") {
            std::printf("itemselect %s %ld %ld\n", name.c_str(), long(msg.wParam), long(msg.lParam));
        }
        WindowImplBase::Notify(msg);
    }
    // Screen coordinates of a control's centre.
    platform::Point centreOf(const std::wstring& name) {
        CControlUI* control = GetPaintManager().FindControl(name);
        if (!control) return {-1, -1};
        const SkinRect& r = control->GetPos();
        return GetHWND()->clientToScreen({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
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

    // Skin file names that are not absolute paths are looked up in the skin; this one is a file.
    GuiWindow window(utility::utf8ToWide(std::filesystem::absolute(argv[1]).string()));
    if (!window.Create(nullptr, utility::utf8ToWide(argv[2]), wndstyle::kPopup | wndstyle::kClipChildren, 0)) return 1;
    window.CenterWindow();
    window.ShowWindow(true, true);
    platform::MainLoop::quitOnTerminationSignals();
    CPaintManagerUI::MessageLoop();
    return 0;
}
