// skinui-render LAYOUT [--skin DIR] [--lang CODE] [--size WxH] [--dump] [--png FILE]
//
// Builds a layout the way a skinned window does, in a headless window, lays it out at the window's size
// (the layout's "size", or --size) and then, with --dump, prints one line per control in tree order:
//   depth <TAB> class <TAB> name <TAB> visible (1/0) <TAB> left,top,right,bottom
// and with --png paints the window into a PNG file. LAYOUT is a file path or a skin file name; --skin DIR
// is the skin folder for includes and images, looked at before the embedded archive. A layout that
// cannot be built prints the builder's error message and location and exits with 1.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/main_loop.h"
#include "platform/system.h"
#include "platform/window_headless.h"
#include "skinui/container.h"
#include "skinui/dialog_builder.h"
#include "skinui/embedded_skin.h"
#include "skinui/resource_module.h"
#include "skinui/window_impl_base.h"
#include "utility/text_codec.h"

namespace {

using namespace SkinUI;

constexpr unsigned kSkinArchiveId = 129;

class RenderWindow : public WindowImplBase {
public:
    explicit RenderWindow(std::wstring layout) : layout_(std::move(layout)) {}

protected:
    std::wstring_view GetWindowClassName() const override { return L"SkinUIRender"; }
    std::wstring GetSkinFolder() override { return L""; }
    std::wstring GetSkinFile() override { return layout_; }

private:
    std::wstring layout_;
};

std::string narrow(const std::wstring& w) { return utility::wideToUtf8(w); }

void dump(CControlUI* control, int depth) {
    const SkinRect& r = control->GetPos();
    std::printf("%d\t%s\t%s\t%d\t%d,%d,%d,%d\n", depth, narrow(std::wstring(control->GetClass())).c_str(),
                narrow(control->GetName()).c_str(), control->IsVisible() ? 1 : 0, r.left, r.top, r.right, r.bottom);
    auto* container = static_cast<IContainerUI*>(control->GetInterface(L"IContainer"));
    if (!container) return;
    for (int i = 0; i < container->GetCount(); ++i) dump(container->GetItemAt(i), depth + 1);
}

int usage() {
    std::fprintf(stderr, "usage: skinui-render LAYOUT [--skin DIR] [--lang CODE] [--size WxH] [--dump] [--png FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string layoutArg, skinDir, lang = "en_US", png;
    int width = 0, height = 0;
    bool doDump = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "--skin" && hasValue) {
            skinDir = argv[++i];
        } else if (a == "--lang" && hasValue) {
            lang = argv[++i];
        } else if (a == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) return usage();
        } else if (a == "--png" && hasValue) {
            png = argv[++i];
        } else if (a == "--dump") {
            doDump = true;
        } else if (!a.empty() && a[0] != '-' && layoutArg.empty()) {
            layoutArg = a;
        } else {
            return usage();
        }
    }
    if (layoutArg.empty()) return usage();

    platform::initWindowing(true);
    static CResourceModule module(utility::utf8ToWide(platform::executablePath()));
    module.AddResource(L"ZIPRES", ResourceIdName(kSkinArchiveId), EmbeddedSkinArchive());
    CPaintManagerUI::SetInstance(&module);
    CPaintManagerUI::SetCurrentLanguage(utility::utf8ToWide(lang), L"en_US");
    if (!skinDir.empty()) {
        std::error_code ec;
        CPaintManagerUI::SetResourcePath(utility::utf8ToWide(std::filesystem::absolute(skinDir, ec).string()));
    }
    CPaintManagerUI::LoadSkinArchive(kSkinArchiveId, L"multi_language.tsv");

    // A file on disk is read by its absolute path; anything else is a skin file name.
    std::wstring layout = utility::utf8ToWide(layoutArg);
    std::error_code ec;
    if (std::filesystem::is_regular_file(layoutArg, ec)) {
        layout = utility::utf8ToWide(std::filesystem::absolute(layoutArg, ec).string());
    }

    // Built once on its own first: a window would end the process on a broken layout with a message box.
    {
        CDialogBuilder check;
        CControlUI* root = check.Create(layout);
        if (!root) {
            const CMarkupDocument& markup = check.GetMarkup();
            std::fprintf(stderr, "skinui-render: cannot build %s\nerror: %s\nlocation: %s\n", layoutArg.c_str(),
                         markup.GetLastErrorMessage().empty() ? "the layout makes no control"
                                                              : narrow(markup.GetLastErrorMessage()).c_str(),
                         narrow(markup.GetLastErrorLocation()).c_str());
            return 1;
        }
        delete root;
    }

    RenderWindow window(layout);
    if (!window.Create(nullptr, L"skinui-render", wndstyle::kPopup, 0)) {
        std::fprintf(stderr, "skinui-render: no window\n");
        return 1;
    }
    if (width > 0) window.ResizeClient(width, height);
    window.ShowWindow(true, false);
    auto& headless = *static_cast<platform::HeadlessWindow*>(window.GetHWND());
    for (int i = 0; i < 20; ++i) {
        platform::MainLoop::drain();
        headless.pump();
        if (!headless.paintNow() && !headless.hasQueuedInput()) break;
    }

    if (doDump && window.GetPaintManager().GetRoot()) dump(window.GetPaintManager().GetRoot(), 0);
    if (!png.empty() && !headless.writePng(png)) {
        std::fprintf(stderr, "skinui-render: cannot write %s\n", png.c_str());
        return 1;
    }
    return 0;
}
