#pragma once
// CNotifyPump: dispatches a window's notifications to member handlers through message maps.
//
// A map lists entries {notification type, control name (empty: any control), handler}; each class's map
// points at its base class's map. Dispatch walks from the most derived map to the base: within a map an
// entry naming the sender is taken at once, and an entry for any control is the fallback (the last such
// entry of that map); the first map that yields an entry calls it. Before that, a notification whose
// virtual-window name matches a registered sub-pump (ignoring letter case) goes to that pump first.
//
//   class CMyWindow : public WindowImplBase {
//       SKINUI_DECLARE_NOTIFY_MAP()
//       void onOk(TNotifyMsg& msg);
//       void onValues(intptr_t wParam, intptr_t lParam);
//   };
//   SKINUI_BEGIN_NOTIFY_MAP(CMyWindow, WindowImplBase)
//       SKINUI_NOTIFY_NAME(L"click", L"okbtn", onOk)          // the whole notification
//       SKINUI_NOTIFY_NAME_VALUES(L"scroll", L"list", onValues)  // wParam and lParam
//       SKINUI_NOTIFY_TYPE(L"setfocus", onOk)                 // any control
//   SKINUI_END_NOTIFY_MAP()
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "skinui/ui_events.h"

namespace SkinUI {

class CNotifyPump;

enum class NotifySignature {
    End = 0,     // ends a map's entry table
    Values = 1,  // handler(wParam, lParam)
    Message = 2  // handler(notification)
};

// Handlers are called through small functions that turn the pump back into the class that declared the
// map (see NotifyOnMessage), so no member pointer is ever converted.
using NotifyValuesHandler = void (*)(CNotifyPump* pump, intptr_t wParam, intptr_t lParam);
using NotifyMessageHandler = void (*)(CNotifyPump* pump, TNotifyMsg& msg);

struct NotifyMapEntry {
    std::wstring_view type;
    std::wstring_view control;  // empty: any control
    NotifySignature signature = NotifySignature::End;
    NotifyValuesHandler values = nullptr;
    NotifyMessageHandler message = nullptr;
};

struct NotifyMap {
    const NotifyMap* base;
    const NotifyMapEntry* entries;  // ends with an entry of signature End
};

class CNotifyPump {
public:
    virtual ~CNotifyPump() = default;

    // Registers `pump` for notifications of the virtual window `name`. False when the name is taken or
    // either argument is empty.
    bool AddVirtualWnd(const std::wstring& name, CNotifyPump* pump);
    bool RemoveVirtualWnd(const std::wstring& name);

    // Dispatches `msg` (virtual windows first, then this object's maps).
    void NotifyPump(TNotifyMsg& msg);
    // Only this object's maps; true when a handler ran.
    bool LoopDispatch(TNotifyMsg& msg);

    virtual const NotifyMap* GetMessageMap() const { return &notifyMap_; }

protected:
    static const NotifyMap notifyMap_;

private:
    std::map<std::wstring, CNotifyPump*> virtualWnds_;
};

// An entry calling `Handler` (a member of T or of a base of T) on the pump seen as a T.
template <typename T, auto Handler>
constexpr NotifyMapEntry NotifyOnMessage(std::wstring_view type, std::wstring_view control) {
    return {type, control, NotifySignature::Message, nullptr,
            [](CNotifyPump* pump, TNotifyMsg& msg) { (static_cast<T*>(pump)->*Handler)(msg); }};
}

template <typename T, auto Handler>
constexpr NotifyMapEntry NotifyOnValues(std::wstring_view type, std::wstring_view control) {
    return {type, control, NotifySignature::Values,
            [](CNotifyPump* pump, intptr_t wParam, intptr_t lParam) { (static_cast<T*>(pump)->*Handler)(wParam, lParam); },
            nullptr};
}

}  // namespace SkinUI

#define SKINUI_DECLARE_NOTIFY_MAP()                                    \
protected:                                                             \
    static const ::SkinUI::NotifyMap notifyMap_;                       \
    const ::SkinUI::NotifyMap* GetMessageMap() const override { return &notifyMap_; } \
                                                                       \
private:

#define SKINUI_BEGIN_NOTIFY_MAP(Class, Base)                                         \
    const ::SkinUI::NotifyMap Class::notifyMap_ = {&Base::notifyMap_, [] {            \
        using ThisClass = Class;                                                       \
        static const ::SkinUI::NotifyMapEntry entries[] = {

#define SKINUI_NOTIFY_NAME(type, control, handler) \
    ::SkinUI::NotifyOnMessage<ThisClass, &ThisClass::handler>(type, control),
#define SKINUI_NOTIFY_TYPE(type, handler) ::SkinUI::NotifyOnMessage<ThisClass, &ThisClass::handler>(type, L""),
#define SKINUI_NOTIFY_NAME_VALUES(type, control, handler) \
    ::SkinUI::NotifyOnValues<ThisClass, &ThisClass::handler>(type, control),
#define SKINUI_NOTIFY_TYPE_VALUES(type, handler) \
    ::SkinUI::NotifyOnValues<ThisClass, &ThisClass::handler>(type, L""),

#define SKINUI_END_NOTIFY_MAP()        \
    ::SkinUI::NotifyMapEntry{}         \
    }                                  \
    ;                                  \
    return static_cast<const ::SkinUI::NotifyMapEntry*>(entries); \
    }()                                \
    }                                  \
    ;
