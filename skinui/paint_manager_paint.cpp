// [paint] of CPaintManagerUI: laying the tree out when it needs it, "windowinit" after the first layout,
// and painting the tree into the window's paint context.
#include "skinui/container.h"
#include "skinui/control.h"
#include "skinui/paint_manager.h"

namespace SkinUI {

namespace {

CControlUI* needsUpdate(CControlUI* control, void*) { return control->IsUpdateNeeded() ? control : nullptr; }

// Every control is placed at most this often in one layout; a control that keeps asking is left alone.
constexpr int kMaxUpdatesPerLayout = 10000;

}  // namespace

void CPaintManagerUI::layOut() {
    updateNeeded_ = false;
    SkinRect client = ToSkinRect(window_->clientRect());
    if (IsEmptyRect(client) || !root_) return;
    if (root_->IsUpdateNeeded()) {
        root_->SetPos(client, true);
    } else {
        for (int i = 0; i < kMaxUpdatesPerLayout; ++i) {
            CControlUI* control = root_->FindControl(needsUpdate, nullptr, UIFIND_VISIBLE | UIFIND_ME_FIRST);
            if (!control) break;
            CControlUI* parent = control->GetParent();
            auto* container = parent ? static_cast<CContainerUI*>(parent->GetInterface(L"Container")) : nullptr;
            if (control->IsFloat() && container) {
                container->SetFloatPos(container->GetItemIndex(control));
            } else {
                control->SetPos(control->GetPos(), true);
            }
            if (control->IsUpdateNeeded()) {
                // A control that cannot be placed alone: lay out everything once and stop.
                root_->SetPos(client, true);
                break;
            }
        }
    }
    if (firstLayout_) {
        firstLayout_ = false;
        SendNotify(root_, L"windowinit");
    }
}

void CPaintManagerUI::onPaint(const platform::WindowEvent& event) {
    if (updateNeeded_) layOut();
    cairo_t* cr = event.cairo;
    if (!cr || !root_) return;
    const SkinRect paint = ToSkinRect(event.rect);
    cairo_save(cr);
    root_->DoPaint(cr, paint);
    cairo_restore(cr);
    if (IsShowUpdateRect()) {
        cairo_save(cr);
        cairo_set_source_rgb(cr, 1, 0, 0);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, paint.left + 0.5, paint.top + 0.5, RectWidth(paint) - 1, RectHeight(paint) - 1);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
}

}  // namespace SkinUI
