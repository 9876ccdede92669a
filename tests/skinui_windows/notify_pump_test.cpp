// Message maps: the exact control entry, the fallback entry for any control, the walk through base maps,
// both handler signatures and virtual windows.
#include "skinui/notify_pump.h"

#include <gtest/gtest.h>

#include "skinui/control.h"
#include "utility/text_codec.h"

using namespace SkinUI;

namespace {

class PagePump : public CNotifyPump {
    SKINUI_DECLARE_NOTIFY_MAP()
public:
    std::vector<std::string> calls;
    void onPageClick(TNotifyMsg&) { calls.push_back("page click"); }
};

class BasePump : public CNotifyPump {
    SKINUI_DECLARE_NOTIFY_MAP()
public:
    std::vector<std::string> calls;
    void onOk(TNotifyMsg&) { calls.push_back("ok"); }
    void onAnyClick(TNotifyMsg&) { calls.push_back("any click"); }
    void onLastAnyClick(TNotifyMsg& msg) { calls.push_back("last any click " + utility::wideToUtf8(msg.pSender->GetName())); }
    void onListScroll(intptr_t wParam, intptr_t lParam) {
        calls.push_back("scroll " + std::to_string(wParam) + " " + std::to_string(lParam));
    }
};

class DerivedPump : public BasePump {
    SKINUI_DECLARE_NOTIFY_MAP()
public:
    void onSpecial(TNotifyMsg&) { calls.push_back("special"); }
    void onAnyFocus(TNotifyMsg&) { calls.push_back("any focus"); }
};

}  // namespace

SKINUI_BEGIN_NOTIFY_MAP(PagePump, CNotifyPump)
SKINUI_NOTIFY_NAME(L"click", L"okbtn", onPageClick)
SKINUI_END_NOTIFY_MAP()

// The fallback entries come first and last on purpose: the exact entry wins wherever it stands, and of
// two fallbacks the last one counts.
SKINUI_BEGIN_NOTIFY_MAP(BasePump, CNotifyPump)
SKINUI_NOTIFY_TYPE(L"click", onAnyClick)
SKINUI_NOTIFY_NAME(L"click", L"okbtn", onOk)
SKINUI_NOTIFY_NAME_VALUES(L"scroll", L"list", onListScroll)
SKINUI_NOTIFY_TYPE(L"click", onLastAnyClick)
SKINUI_END_NOTIFY_MAP()

SKINUI_BEGIN_NOTIFY_MAP(DerivedPump, BasePump)
SKINUI_NOTIFY_NAME(L"click", L"special", onSpecial)
SKINUI_NOTIFY_TYPE(L"setfocus", onAnyFocus)
SKINUI_END_NOTIFY_MAP()

namespace {

struct PumpCase {
    const char* name;
    const wchar_t* type;
    const wchar_t* sender;
    const wchar_t* virtualWnd;
    std::vector<std::string> derivedCalls;  // what DerivedPump (with the page pump as "Page") runs
    std::vector<std::string> pageCalls;
};

void PrintTo(const PumpCase& c, std::ostream* os) { *os << c.name; }

class NotifyPumpDispatch : public ::testing::TestWithParam<PumpCase> {};

TEST_P(NotifyPumpDispatch, ChoosesTheEntry) {
    const PumpCase& c = GetParam();
    DerivedPump pump;
    PagePump page;
    ASSERT_TRUE(pump.AddVirtualWnd(L"Page", &page));
    EXPECT_FALSE(pump.AddVirtualWnd(L"Page", &page));
    CControlUI sender;
    sender.SetName(c.sender);
    TNotifyMsg msg;
    msg.sType = c.type;
    msg.pSender = &sender;
    msg.sVirtualWnd = c.virtualWnd;
    msg.wParam = 3;
    msg.lParam = 4;
    pump.NotifyPump(msg);
    EXPECT_EQ(pump.calls, c.derivedCalls);
    EXPECT_EQ(page.calls, c.pageCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Maps, NotifyPumpDispatch,
    ::testing::Values(PumpCase{"ExactNameInTheBaseMap", L"click", L"okbtn", L"", {"ok"}, {}},
                      PumpCase{"LastFallbackOfTheBaseMap", L"click", L"other", L"", {"last any click other"}, {}},
                      PumpCase{"DerivedMapFirst", L"click", L"special", L"", {"special"}, {}},
                      PumpCase{"FallbackOfTheDerivedMap", L"setfocus", L"okbtn", L"", {"any focus"}, {}},
                      PumpCase{"ValuesSignature", L"scroll", L"list", L"", {"scroll 3 4"}, {}},
                      PumpCase{"NoEntryNoFallback", L"scroll", L"other", L"", {}, {}},
                      PumpCase{"TypeComparedExactly", L"Click", L"okbtn", L"", {}, {}},
                      PumpCase{"VirtualWindowIgnoringCase", L"click", L"okbtn", L"page", {}, {"page click"}},
                      PumpCase{"VirtualWindowWithoutAHandler", L"click", L"other", L"PAGE",
                               {"last any click other"}, {}},
                      PumpCase{"UnknownVirtualWindow", L"click", L"okbtn", L"nowhere", {"ok"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
