#include "skinui/window_wnd.h"

#include <cstring>

#include "common/log.h"
#include "platform/system.h"
#include "skinui/paint_manager.h"

namespace SkinUI {

namespace {

bool isInput(platform::Message m) {
    using platform::Message;
    switch (m) {
        case Message::KeyDown:
        case Message::KeyUp:
        case Message::Char:
        case Message::MouseMove:
        case Message::LButtonDown:
        case Message::LButtonUp:
        case Message::LButtonDblClk:
        case Message::RButtonDown:
        case Message::RButtonUp:
        case Message::MouseWheel: return true;
        default: return false;
    }
}

struct PngReader {
    const std::vector<uint8_t>* bytes;
    size_t offset = 0;
};

cairo_status_t readPng(void* closure, unsigned char* data, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (reader->bytes->size() - reader->offset < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->bytes->data() + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

CWindowWnd::CWindowWnd() : alive_(std::make_shared<bool>(true)) {}

CWindowWnd::~CWindowWnd() {
    *alive_ = false;
    // A window still open goes with its object; the derived parts are gone, so only this class hears it.
    if (window_) window_->destroy();
}

platform::Window* CWindowWnd::Create(platform::Window* owner, const std::wstring& name, uint32_t style,
                                     uint32_t exStyle, int x, int y, int cx, int cy) {
    return Create(owner, name, style, exStyle, platform::Rect{x, y, x + cx, y + cy});
}

platform::Window* CWindowWnd::Create(platform::Window* owner, const std::wstring& name, uint32_t style,
                                     uint32_t exStyle, const platform::Rect& bounds) {
    if (window_) return nullptr;
    platform::WindowOptions options;
    options.title = name;
    options.bounds = bounds;
    options.owner = owner;
    options.resizable = (style & wndstyle::kThickFrame) != 0;
    options.translucent = (exStyle & wndstyle::kExLayered) != 0;
    options.doubleClicks = (GetClassStyle() & kClassStyleDoubleClicks) != 0;
    options.taskbar = (exStyle & wndstyle::kExToolWindow) == 0;
    window_ = platform::createWindow(options, this);
    if (!window_) {
        NLOG(L"the window %s could not be created", std::wstring(GetWindowClassName()));
        return nullptr;
    }
    style_ = style;
    exStyle_ = exStyle;
    if (exStyle & wndstyle::kExTopMost) window_->setTopMost(true);
    auto alive = alive_;
    SendMessage(uimsg::kCreate);
    if (!*alive || !window_) return nullptr;
    if (style & wndstyle::kVisible) window_->show(true);
    return window_.get();
}

void CWindowWnd::Close(int code) {
    if (window_) window_->postMessage(platform::Message::Close, code);
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (!window_) return;
    if (!show) {
        window_->hide();
    } else {
        window_->show(takeFocus);
    }
}

int CWindowWnd::ShowModal() {
    if (!window_) return -1;
    platform::Window* owner = window_->owner();
    if (owner) owner->setEnabled(false);
    platform::ModalLoop loop;
    modal_ = &loop;
    window_->show(true);
    auto alive = alive_;
    int code = loop.run();
    if (*alive && modal_ == &loop) modal_ = nullptr;
    if (owner) owner->setEnabled(true);
    return code;
}

void CWindowWnd::CenterWindow() {
    if (!window_) return;
    platform::Rect rc = window_->bounds();
    platform::Rect work = platform::workArea(window_.get());
    platform::Window* owner = window_->owner();
    platform::Rect over = work;
    if (owner && owner->sizeState() != platform::SizeState::Minimized) over = owner->bounds();
    int width = rc.width(), height = rc.height();
    int x = (over.left + over.right) / 2 - width / 2;
    int y = (over.top + over.bottom) / 2 - height / 2;
    if (x < work.left) {
        x = work.left;
    } else if (x + width > work.right) {
        x = work.right - width;
    }
    if (y < work.top) {
        y = work.top;
    } else if (y + height > work.bottom) {
        y = work.bottom - height;
    }
    window_->setBounds({x, y, x + width, y + height});
}

bool CWindowWnd::SetIcon(const std::wstring& pngSkinFile) {
    if (!window_) return false;
    std::vector<uint8_t> bytes = CPaintManagerUI::LoadFileData(pngSkinFile);
    if (bytes.empty()) return false;
    PngReader reader{&bytes};
    cairo_surface_t* image = cairo_image_surface_create_from_png_stream(readPng, &reader);
    bool ok = cairo_surface_status(image) == CAIRO_STATUS_SUCCESS;
    if (ok) window_->setIcon(image);
    cairo_surface_destroy(image);
    return ok;
}

void CWindowWnd::ResizeClient(int cx, int cy) {
    if (!window_) return;
    platform::Rect b = window_->bounds();
    window_->setBounds({b.left, b.top, b.left + cx, b.top + cy});
}

intptr_t CWindowWnd::SendMessage(platform::Message message, intptr_t wParam, intptr_t lParam) {
    if (!window_) return 0;
    platform::WindowEvent event;
    event.message = message;
    event.wParam = wParam;
    event.lParam = lParam;
    event.time = platform::tickCount();
    bool handled = false;
    intptr_t result = 0;
    dispatch(event, handled, result);
    return result;
}

void CWindowWnd::PostMessage(platform::Message message, intptr_t wParam, intptr_t lParam) {
    if (window_) window_->postMessage(message, wParam, lParam);
}

intptr_t CWindowWnd::HandleMessage(const platform::WindowEvent&, bool& handled) {
    handled = false;
    return 0;
}

void CWindowWnd::OnFinalMessage(platform::Window*) {}

platform::HitArea CWindowWnd::OnHitTest(platform::Point) { return platform::HitArea::Client; }

bool CWindowWnd::dispatch(const platform::WindowEvent& event, bool& handled, intptr_t& result) {
    auto alive = alive_;
    if (event.message == platform::Message::Close) closeCode_ = int(event.wParam);
    result = HandleMessage(event, handled);
    if (!*alive) return false;
    if (!handled && event.message == platform::Message::Close && window_) {
        // The default closing: the window goes, and with it (in OnFinalMessage) perhaps this object.
        handled = true;
        window_->destroy();
        return *alive;
    }
    return true;
}

bool CWindowWnd::onMessage(platform::Window& window, const platform::WindowEvent& event) {
    if (isInput(event.message) && CPaintManagerUI::TranslateMessage(&window, event)) return true;
    bool handled = false;
    intptr_t result = 0;
    dispatch(event, handled, result);
    return handled;
}

platform::HitArea CWindowWnd::hitTest(platform::Window&, platform::Point clientPoint) { return OnHitTest(clientPoint); }

void CWindowWnd::onFinalMessage(platform::Window& window) {
    // The platform window object goes last, after the handler; this object may delete itself meanwhile.
    std::unique_ptr<platform::Window> gone = std::move(window_);
    if (modal_) {
        modal_->end(closeCode_);
        modal_ = nullptr;
    }
    OnFinalMessage(&window);
}

}  // namespace SkinUI
