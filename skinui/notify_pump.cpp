#include "skinui/notify_pump.h"

#include "skinui/attribute_values.h"
#include "skinui/control.h"

namespace SkinUI {

namespace {
const NotifyMapEntry kNoEntries[] = {NotifyMapEntry{}};
}  // namespace

const NotifyMap CNotifyPump::notifyMap_ = {nullptr, kNoEntries};

bool CNotifyPump::AddVirtualWnd(const std::wstring& name, CNotifyPump* pump) {
    if (name.empty() || !pump) return false;
    return virtualWnds_.try_emplace(name, pump).second;
}

bool CNotifyPump::RemoveVirtualWnd(const std::wstring& name) { return virtualWnds_.erase(name) > 0; }

void CNotifyPump::NotifyPump(TNotifyMsg& msg) {
    if (!msg.sVirtualWnd.empty()) {
        for (auto& [name, pump] : virtualWnds_) {
            if (EqualsIgnoreCase(name, msg.sVirtualWnd) && pump->LoopDispatch(msg)) return;
        }
    }
    LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(TNotifyMsg& msg) {
    std::wstring sender = msg.pSender ? msg.pSender->GetName() : std::wstring();
    for (const NotifyMap* map = GetMessageMap(); map; map = map->base) {
        const NotifyMapEntry* chosen = nullptr;
        for (const NotifyMapEntry* e = map->entries; e && e->signature != NotifySignature::End; ++e) {
            if (e->type != msg.sType) continue;
            if (!e->control.empty()) {
                if (e->control == sender) {
                    chosen = e;
                    break;
                }
                continue;
            }
            chosen = e;  // any control: the last such entry is the fallback
        }
        if (!chosen) continue;
        if (chosen->signature == NotifySignature::Values && chosen->values) {
            chosen->values(this, msg.wParam, msg.lParam);
        } else if (chosen->signature == NotifySignature::Message && chosen->message) {
            chosen->message(this, msg);
        }
        return true;
    }
    return false;
}

}  // namespace SkinUI
