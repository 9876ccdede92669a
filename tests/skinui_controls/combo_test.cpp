// The combo box and its drop-down, driven through headless windows: the owner window by control name, the
// drop-down (a second headless window) through the focused-window lookup and its own controls.
#include <gtest/gtest.h>

#include "skinui/button.h"
#include "skinui/combo.h"
#include "skinui/combo_wnd.h"
#include "skinui/control_factory.h"
#include "skinui/render_text.h"
#include "skinui/scroll_bar.h"
#include "skinui/vertical_layout.h"
#include "skinui_windows/toolkit_test_support.h"

namespace {

using namespace toolkit_test;
using Lines = std::vector<std::string>;

// "lang" sits at the top left of the window: 200 x 30, its text 40 pixels in.
const wchar_t kLayout[] = LR"(<Window size="400,300">
  <VerticalLayout name="root">
    <Combo name="lang" width="200" height="30" textpadding="40,2,4,2" dropboxsize="0,120"
           dropbox="bkcolor=&quot;#FF102030&quot; inset=&quot;2,3,2,3&quot;" itemheight="24" itemfont="0"
           itemalign="center" itemtextpadding="5,1,5,1" itemtextcolor="#FF111111" itembkcolor="#FF222222"
           itembkimage="bk.png" itemaltbk="true" itemselectedtextcolor="#FF333333" itemselectedbkcolor="#FF444444"
           itemselectedimage="sel.png" itemhottextcolor="#FF555555" itemhotbkcolor="#FF666666"
           itemhotimage="hot.png" itemdisabledtextcolor="#FF777777" itemdisabledbkcolor="#FF888888"
           itemdisabledimage="off.png" itemvlinesize="2" itemvlinecolor="#FF999999" itemhlinesize="1"
           itemhlinecolor="#FFAAAAAA" itemshowhtml="true" hotbkcolor="#FFBBBBBB" pushedbkcolor="#FFCCCCCC"
           normalimage="n.png" normalEnlargeImage="big.png">
      <ListLabelElement name="en" text="English"/>
      <ListLabelElement name="de" text="Deutsch"/>
      <ListLabelElement name="fr" text="Francais" enabled="false"/>
      <ListLabelElement name="it" text="Italiano"/>
    </Combo>
    <Combo name="empty" width="200" height="30" dropboxsize="150,80"/>
    <Combo name="long" width="120" height="30" dropboxsize="0,60"/>
    <Control/>
  </VerticalLayout>
</Window>)";

class Combo : public HeadlessToolkitTest {
protected:
    void TearDown() override { platform::setHeadlessWorkArea({0, 0, 1024, 768}); }

    static CComboUI* combo(TestWindow& window, const std::wstring& name) {
        auto* found = dynamic_cast<CComboUI*>(window.GetPaintManager().FindControl(name));
        EXPECT_NE(found, nullptr) << narrow(name);
        return found;
    }
    static platform::HeadlessWindow* popupOf(const CComboUI* combo) {
        CComboWnd* drop = combo->GetDropWindow();
        return drop ? static_cast<platform::HeadlessWindow*>(drop->GetHWND()) : nullptr;
    }
    // Settles the owner and an open drop-down, which may close meanwhile.
    static void settleBoth(TestWindow& window, const CComboUI* combo) {
        for (int i = 0; i < 5; ++i) {
            settle(window);
            platform::HeadlessWindow* popup = popupOf(combo);
            if (!popup) continue;
            if (!popup->pump() || !popupOf(combo)) continue;
            popupOf(combo)->paintNow();
        }
        platform::MainLoop::drain();
    }
    static void open(TestWindow& window, CComboUI* combo) {
        clickOn(window, combo->GetName());
        settleBoth(window, combo);
        ASSERT_TRUE(combo->IsDropDownOpen());
    }
    // The stand-in of item `name` in the open drop-down.
    static CListLabelElementUI* shown(const CComboUI* combo, const std::wstring& name) {
        CComboWnd* drop = combo->GetDropWindow();
        if (!drop) return nullptr;
        return dynamic_cast<CListLabelElementUI*>(drop->GetPaintManager().FindControl(name));
    }
    static void clickShown(TestWindow& window, const CComboUI* combo, const std::wstring& name) {
        CListLabelElementUI* item = shown(combo, name);
        ASSERT_NE(item, nullptr) << narrow(name);
        const SkinRect& r = item->GetPos();
        popupOf(combo)->click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        settleBoth(window, combo);
    }
    // Pixels of the owner's surface inside `rect` that are not the white background.
    static int inkIn(TestWindow& window, const SkinRect& rect) {
        cairo_surface_t* surface = window.headless().surface();
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        int ink = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
            for (int x = rect.left; x < rect.right; ++x) ink += row[x] != 0xFFFFFFFF;
        }
        return ink;
    }
};

TEST_F(Combo, MarkupMakesItemsThatAreNotLaidOutInsideTheCombo) {
    EXPECT_TRUE(CControlFactory::Instance().IsRegistered(L"CComboUI"));
    EXPECT_TRUE(CControlFactory::Instance().IsRegistered(L"CListLabelElementUI"));
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* lang = combo(*window, L"lang");
    ASSERT_NE(lang, nullptr);
    ASSERT_EQ(lang->GetCount(), 4);
    EXPECT_EQ(lang->GetCurSel(), -1);
    EXPECT_EQ(lang->GetPos(), (SkinRect{0, 0, 200, 30}));
    for (int i = 0; i < lang->GetCount(); ++i) {
        auto* item = dynamic_cast<CListLabelElementUI*>(lang->GetItemAt(i));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetIndex(), i);
        EXPECT_EQ(item->GetOwner(), static_cast<IListOwnerUI*>(lang));
        EXPECT_FALSE(RectsMeet(item->GetPos(), lang->GetPos())) << i;
    }
    // A point over the combo finds the combo, never a hidden item.
    EXPECT_EQ(window->GetPaintManager().FindControl(platform::Point{20, 15}), lang);
}

TEST_F(Combo, AttributesAreParsed) {
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* lang = combo(*window, L"lang");
    ASSERT_NE(lang, nullptr);
    EXPECT_EQ(lang->GetTextPadding(), (SkinRect{40, 2, 4, 2}));
    EXPECT_TRUE(lang->IsShowText());
    EXPECT_EQ(lang->GetDropBoxSize(), (SkinSize{0, 120}));
    EXPECT_EQ(lang->GetDropBoxAttributeList(), L"bkcolor=\"#FF102030\" inset=\"2,3,2,3\"");
    EXPECT_EQ(lang->GetCustomAttribute(L"normalEnlargeImage"), L"");

    const TListInfoUI& info = lang->GetListInfo();
    EXPECT_EQ(info.height, 24);
    EXPECT_EQ(info.font, 0);
    EXPECT_EQ(info.textStyle & (TextStyle::Center | TextStyle::Right), TextStyle::Center);
    EXPECT_EQ(info.textPadding, (SkinRect{5, 1, 5, 1}));
    EXPECT_EQ(info.textColor, 0xFF111111u);
    EXPECT_EQ(info.bkColor, 0xFF222222u);
    EXPECT_EQ(info.bkImage, L"bk.png");
    EXPECT_TRUE(info.alternateBk);
    EXPECT_EQ(info.selectedTextColor, 0xFF333333u);
    EXPECT_EQ(info.selectedBkColor, 0xFF444444u);
    EXPECT_EQ(info.selectedImage, L"sel.png");
    EXPECT_EQ(info.hotTextColor, 0xFF555555u);
    EXPECT_EQ(info.hotBkColor, 0xFF666666u);
    EXPECT_EQ(info.hotImage, L"hot.png");
    EXPECT_EQ(info.disabledTextColor, 0xFF777777u);
    EXPECT_EQ(info.disabledBkColor, 0xFF888888u);
    EXPECT_EQ(info.disabledImage, L"off.png");
    EXPECT_EQ(info.vLineSize, 2);
    EXPECT_EQ(info.vLineColor, 0xFF999999u);
    EXPECT_EQ(info.hLineSize, 1);
    EXPECT_EQ(info.hLineColor, 0xFFAAAAAAu);
    EXPECT_TRUE(info.showHtml);

    // The drop-down's list takes the "dropbox" list; its items take the item height.
    open(*window, lang);
    CVerticalLayoutUI* list = lang->GetDropWindow()->GetList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetBkColor(), 0xFF102030u);
    EXPECT_EQ(list->GetInset(), (SkinRect{2, 3, 2, 3}));
    ASSERT_NE(shown(lang, L"en"), nullptr);
    EXPECT_EQ(RectHeight(shown(lang, L"en")->GetPos()), 24);
}

TEST_F(Combo, SelectItemNotifiesOnlyChanges) {
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* lang = combo(*window, L"lang");
    ASSERT_NE(lang, nullptr);
    struct Case {
        int from, to;
        bool accepted;
        int expected;  // GetCurSel afterwards
        bool notified;
    };
    const Case cases[] = {
        {-1, 1, true, 1, true},
        {1, 3, true, 3, true},
        {3, 3, true, 3, false},    // unchanged
        {3, -1, true, -1, true},   // none
        {-1, -1, true, -1, false},
        {0, 2, false, 0, false},   // a disabled item
        {0, 4, false, 0, false},   // past the end
        {0, -2, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        lang->SelectItem(c.from);
        window->notes.clear();
        window->messages.clear();
        EXPECT_EQ(lang->SelectItem(c.to), c.accepted);
        EXPECT_EQ(lang->GetCurSel(), c.expected);
        if (!c.notified) {
            EXPECT_EQ(notesOf(*window, {"itemselect"}), Lines{});
            continue;
        }
        ASSERT_EQ(notesOf(*window, {"itemselect"}), Lines{"itemselect lang"});
        EXPECT_EQ(window->messages.back().wParam, c.to);
        EXPECT_EQ(window->messages.back().lParam, c.from);
        for (int i = 0; i < lang->GetCount(); ++i) {
            EXPECT_EQ(static_cast<CListLabelElementUI*>(lang->GetItemAt(i))->IsSelected(), i == c.expected) << i;
        }
    }
}

TEST_F(Combo, ShowsTheSelectedTextInsideItsTextPadding) {
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* lang = combo(*window, L"lang");
    ASSERT_NE(lang, nullptr);
    const SkinRect& rc = lang->GetPos();
    const SkinRect padding{rc.left, rc.top, rc.left + 40, rc.bottom};
    const SkinRect text{rc.left + 40, rc.top, rc.right, rc.bottom};
    EXPECT_EQ(inkIn(*window, text), 0);  // nothing selected

    lang->SelectItem(1);
    settle(*window);
    EXPECT_GT(inkIn(*window, text), 0);
    EXPECT_EQ(inkIn(*window, padding), 0);

    lang->SetAttribute(L"showtext", L"false");
    settle(*window);
    EXPECT_EQ(inkIn(*window, text), 0);
}

TEST_F(Combo, AClickOpensTheDropDownAndAClickOnAnItemChoosesIt) {
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* lang = combo(*window, L"lang");
    ASSERT_NE(lang, nullptr);
    lang->SelectItem(0);
    window->notes.clear();
    window->messages.clear();

    open(*window, lang);
    EXPECT_EQ(notesOf(*window, {"dropdown", "itemselect"}), Lines{"dropdown lang"});
    platform::HeadlessWindow* popup = platform::HeadlessWindow::focusedWindow();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup, popupOf(lang));
    EXPECT_NE(popup, &window->headless());
    EXPECT_EQ(popup->owner(), window->GetHWND());
    EXPECT_TRUE(popup->isVisible());
    EXPECT_TRUE(shown(lang, L"en")->IsSelected());

    // The hot item follows the mouse.
    const SkinRect de = shown(lang, L"de")->GetPos();
    popup->mouseMove(de.left + 3, de.top + 3);
    settleBoth(*window, lang);
    EXPECT_TRUE(shown(lang, L"de")->IsHot());
    const SkinRect it = shown(lang, L"it")->GetPos();
    popup->mouseMove(it.left + 3, it.top + 3);
    settleBoth(*window, lang);
    EXPECT_FALSE(shown(lang, L"de")->IsHot());
    EXPECT_TRUE(shown(lang, L"it")->IsHot());

    window->notes.clear();
    window->messages.clear();
    clickShown(*window, lang, L"it");
    EXPECT_FALSE(lang->IsDropDownOpen());
    EXPECT_EQ(lang->GetCurSel(), 3);
    ASSERT_EQ(notesOf(*window, {"itemselect"}), Lines{"itemselect lang"});
    EXPECT_EQ(window->messages.back().wParam, 3);
    EXPECT_EQ(window->messages.back().lParam, 0);
    // The focus is back with the combo's window.
    EXPECT_EQ(platform::HeadlessWindow::focusedWindow(), &window->headless());
}

TEST_F(Combo, TheDropDownPaintsEachItemInItsState) {
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* lang = combo(*window, L"lang");
    ASSERT_NE(lang, nullptr);
    lang->SelectItem(0);
    open(*window, lang);
    const SkinRect de = shown(lang, L"de")->GetPos();
    popupOf(lang)->mouseMove(de.left + 3, de.top + 3);
    settleBoth(*window, lang);

    cairo_surface_t* surface = popupOf(lang)->surface();
    cairo_surface_flush(surface);
    auto pixel = [&](const SkinRect& r) {
        const unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        return reinterpret_cast<const uint32_t*>(data + (r.top + 2) * stride)[r.left + 2];
    };
    struct Case {
        const wchar_t* item;
        uint32_t colour;
    };
    const Case cases[] = {
        {L"en", 0xFF444444},  // selected
        {L"de", 0xFF666666},  // hot
        {L"fr", 0xFF888888},  // disabled
        {L"it", 0xFF102030},  // a second row: the list's own background shows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.item));
        ASSERT_NE(shown(lang, c.item), nullptr);
        EXPECT_EQ(pixel(shown(lang, c.item)->GetPos()), c.colour);
    }
    // The item lines: horizontal at the bottom, vertical at the right.
    const SkinRect en = shown(lang, L"en")->GetPos();
    EXPECT_EQ(pixel({en.left + 40, en.bottom - 3, 0, 0}), 0xFFAAAAAAu);
    EXPECT_EQ(pixel({en.right - 4, en.top + 5, 0, 0}), 0xFF999999u);
}

TEST_F(Combo, ADisabledItemInTheDropDownIsNotChosen) {
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* lang = combo(*window, L"lang");
    ASSERT_NE(lang, nullptr);
    open(*window, lang);
    clickShown(*window, lang, L"fr");
    EXPECT_TRUE(lang->IsDropDownOpen());
    EXPECT_EQ(lang->GetCurSel(), -1);
    EXPECT_EQ(notesOf(*window, {"itemselect"}), Lines{});
}

TEST_F(Combo, TheDropDownClosesWithoutAChange) {
    struct Case {
        const char* how;
        std::function<void(TestWindow&, CComboUI*)> close;
    };
    const Case cases[] = {
        {"escape", [](TestWindow&, CComboUI* c) { popupOf(c)->pressKey(platform::Key::Escape); }},
        {"click outside", [](TestWindow& w, CComboUI*) { w.headless().click(300, 250); }},
        {"click on the combo", [](TestWindow& w, CComboUI*) { w.headless().click(100, 15); }},
        {"focus taken", [](TestWindow& w, CComboUI*) { w.GetHWND()->focus(); }},
        {"disabled", [](TestWindow&, CComboUI* c) { c->SetEnabled(false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        auto window = HeadlessToolkitTest::open(kLayout);
        CComboUI* lang = combo(*window, L"lang");
        ASSERT_NE(lang, nullptr);
        lang->SelectItem(1);
        open(*window, lang);
        window->notes.clear();
        c.close(*window, lang);
        settleBoth(*window, lang);
        EXPECT_FALSE(lang->IsDropDownOpen());
        EXPECT_EQ(lang->GetDropWindow(), nullptr);
        EXPECT_NE(platform::HeadlessWindow::focusedWindow(), nullptr);
        EXPECT_EQ(lang->GetCurSel(), 1);
        EXPECT_EQ(notesOf(*window, {"itemselect", "dropdown"}), Lines{});
        EXPECT_EQ(lang->GetButtonState() & ButtonState::Pushed, 0u);
    }
}

TEST_F(Combo, KeysOpenTheDropDownAndMoveTheSelection) {
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* lang = combo(*window, L"lang");
    ASSERT_NE(lang, nullptr);
    lang->SetFocus();
    auto press = [&](platform::Key key, uint32_t state = 0) {
        window->headless().pressKey(key, state);
        settleBoth(*window, lang);
    };
    // Closed: Down and Up step over the disabled item and stop at the ends.
    press(platform::Key::Down);
    press(platform::Key::Down);
    press(platform::Key::Down);
    EXPECT_EQ(lang->GetCurSel(), 3);
    press(platform::Key::Down);
    EXPECT_EQ(lang->GetCurSel(), 3);
    press(platform::Key::Up);
    EXPECT_EQ(lang->GetCurSel(), 1);
    EXPECT_EQ(notesOf(*window, {"itemselect"}), Lines(4, "itemselect lang"));
    EXPECT_FALSE(lang->IsDropDownOpen());

    for (auto [key, state] : {std::pair{platform::Key::Space, 0u}, std::pair{platform::Key::Return, 0u},
                              std::pair{platform::Key::F4, 0u}, std::pair{platform::Key::Down, platform::keystate::Alt}}) {
        SCOPED_TRACE(uint32_t(key));
        window->notes.clear();
        lang->SetFocus();
        press(key, state);
        ASSERT_TRUE(lang->IsDropDownOpen());
        EXPECT_EQ(notesOf(*window, {"dropdown"}), Lines{"dropdown lang"});
        EXPECT_EQ(lang->GetCurSel(), 1);
        // Open: Down selects the next item in place, Return closes.
        popupOf(lang)->pressKey(platform::Key::Down);
        settleBoth(*window, lang);
        EXPECT_EQ(lang->GetCurSel(), 3);
        EXPECT_TRUE(shown(lang, L"it")->IsSelected());
        EXPECT_FALSE(shown(lang, L"de")->IsSelected());
        popupOf(lang)->pressKey(platform::Key::Return);
        settleBoth(*window, lang);
        EXPECT_FALSE(lang->IsDropDownOpen());
        lang->SelectItem(1);
    }
}

TEST_F(Combo, AnEmptyComboOpensAnEmptyDropDown) {
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* empty = combo(*window, L"empty");
    ASSERT_NE(empty, nullptr);
    open(*window, empty);
    EXPECT_EQ(notesOf(*window, {"dropdown"}), Lines{"dropdown empty"});
    EXPECT_EQ(empty->GetDropWindow()->GetList()->GetCount(), 0);
    platform::HeadlessWindow* popup = popupOf(empty);
    popup->click(20, 20);
    settleBoth(*window, empty);
    EXPECT_TRUE(empty->IsDropDownOpen());
    EXPECT_EQ(empty->GetCurSel(), -1);
    popup->pressKey(platform::Key::Down);
    popup->pressKey(platform::Key::Escape);
    settleBoth(*window, empty);
    EXPECT_FALSE(empty->IsDropDownOpen());
    EXPECT_EQ(notesOf(*window, {"itemselect"}), Lines{});
}

TEST_F(Combo, TheDropDownIsPlacedBelowOrAboveAtItsSize) {
    struct Case {
        const char* name;
        std::wstring combo;  // "lang" at y 0..30, "empty" at y 30..60 of the window
        platform::Rect work;
        int windowTop;
        platform::Rect expected;  // on the screen
    };
    const Case cases[] = {
        {"width 0 takes the combo's", L"lang", {0, 0, 1024, 768}, 0, {0, 30, 200, 150}},
        {"width of its own", L"empty", {0, 0, 1024, 768}, 0, {0, 60, 150, 140}},
        {"no room below", L"empty", {0, 0, 1024, 200}, 100, {0, 50, 150, 130}},
        {"no room either way", L"empty", {0, 0, 1024, 120}, 0, {0, 60, 150, 140}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::setHeadlessWorkArea(c.work);
        auto window = HeadlessToolkitTest::open(kLayout);
        CComboUI* box = combo(*window, c.combo);
        ASSERT_NE(box, nullptr);
        window->GetHWND()->setBounds({0, c.windowTop, 400, c.windowTop + 300});
        settle(*window);
        EXPECT_EQ(box->DropBoxBounds(), c.expected);
        open(*window, box);
        EXPECT_EQ(popupOf(box)->bounds(), c.expected);
        popupOf(box)->pressKey(platform::Key::Escape);
        settleBoth(*window, box);
        EXPECT_FALSE(box->IsDropDownOpen());
    }
}

TEST_F(Combo, ItemsThatDoNotFitScroll) {
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* longer = combo(*window, L"long");
    ASSERT_NE(longer, nullptr);
    for (int i = 0; i < 12; ++i) {
        auto* item = new CListLabelElementUI();
        item->SetName(L"item" + std::to_wstring(i));
        item->SetText(L"Item " + std::to_wstring(i));
        ASSERT_TRUE(longer->Add(item));
    }
    open(*window, longer);
    CScrollBarUI* bar = longer->GetDropWindow()->GetList()->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_GT(longer->GetDropWindow()->GetList()->GetScrollRange().cy, 0);

    // Down to the last item keeps it in view.
    for (int i = 0; i < 12; ++i) {
        popupOf(longer)->pressKey(platform::Key::Down);
        settleBoth(*window, longer);
    }
    EXPECT_EQ(longer->GetCurSel(), 11);
    const SkinRect last = shown(longer, L"item11")->GetPos();
    const SkinRect list = longer->GetDropWindow()->GetList()->GetPos();
    EXPECT_LE(last.bottom, list.bottom);
    EXPECT_GE(last.top, list.top);
}

TEST_F(Combo, AddingAndRemovingKeepTheSelectionOnItsItem) {
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* lang = combo(*window, L"lang");
    ASSERT_NE(lang, nullptr);
    CControlUI* it = lang->GetItemAt(3);
    lang->SelectItem(3);
    window->notes.clear();

    ASSERT_TRUE(lang->RemoveAt(0));
    EXPECT_EQ(lang->GetCurSel(), 2);
    EXPECT_EQ(lang->GetItemAt(lang->GetCurSel()), it);

    auto* first = new CListLabelElementUI();
    first->SetText(L"Suomi");
    ASSERT_TRUE(lang->AddAt(first, 0));
    EXPECT_EQ(lang->GetCurSel(), 3);
    EXPECT_EQ(first->GetIndex(), 0);
    EXPECT_EQ(static_cast<CListLabelElementUI*>(it)->GetIndex(), 3);

    ASSERT_TRUE(lang->Add(new CListLabelElementUI()));
    EXPECT_EQ(lang->GetCurSel(), 3);

    // The selected one goes: nothing is selected, nothing is sent, and the combo shows no text.
    ASSERT_TRUE(lang->Remove(it));
    EXPECT_EQ(lang->GetCurSel(), -1);
    EXPECT_EQ(lang->GetCount(), 4);
    EXPECT_EQ(notesOf(*window, {"itemselect"}), Lines{});
    settle(*window);
    EXPECT_EQ(inkIn(*window, {40, 0, 200, 30}), 0);

    // While open, the drop-down follows.
    lang->SelectItem(1);
    open(*window, lang);
    ASSERT_TRUE(lang->RemoveAt(0));
    settleBoth(*window, lang);
    EXPECT_EQ(lang->GetDropWindow()->GetList()->GetCount(), 3);
    ASSERT_NE(shown(lang, L"de"), nullptr);
    EXPECT_EQ(shown(lang, L"de")->GetIndex(), 0);
    EXPECT_TRUE(shown(lang, L"de")->IsSelected());
    lang->RemoveAll();
    settleBoth(*window, lang);
    EXPECT_EQ(lang->GetCurSel(), -1);
    EXPECT_EQ(lang->GetDropWindow()->GetList()->GetCount(), 0);
}

TEST_F(Combo, TheOwnerWindowGoingAwayTakesAnOpenDropDown) {
    struct Case {
        const char* how;
        bool deleteObject;  // or close the window and keep the object
    };
    for (const Case& c : {Case{"closed", false}, Case{"deleted", true}}) {
        SCOPED_TRACE(c.how);
        auto window = HeadlessToolkitTest::open(kLayout);
        CComboUI* lang = combo(*window, L"lang");
        ASSERT_NE(lang, nullptr);
        open(*window, lang);
        platform::HeadlessWindow* popup = popupOf(lang);
        ASSERT_NE(popup, nullptr);
        if (c.deleteObject) {
            window.reset();
        } else {
            window->Close(0);
            settle(*window);
            EXPECT_EQ(window->GetHWND(), nullptr);
            EXPECT_FALSE(lang->IsDropDownOpen());
        }
        platform::MainLoop::drain();
        EXPECT_EQ(platform::HeadlessWindow::focusedWindow(), nullptr);
    }
}

TEST_F(Combo, AComboRemovedWhileOpenLetsItsDropDownClose) {
    auto window = HeadlessToolkitTest::open(kLayout);
    CComboUI* lang = combo(*window, L"lang");
    ASSERT_NE(lang, nullptr);
    open(*window, lang);
    auto* root = static_cast<CContainerUI*>(find(*window, L"root"));
    // Removed inside the notification of a choice: the drop-down is still delivering it.
    window->onNote = [&](TNotifyMsg& msg) {
        if (msg.sType == L"itemselect") root->Remove(lang);
    };
    CListLabelElementUI* de = shown(lang, L"de");
    ASSERT_NE(de, nullptr);
    const SkinRect r = de->GetPos();
    platform::HeadlessWindow* popup = popupOf(lang);
    popup->click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    for (int i = 0; i < 5; ++i) {
        settle(*window);
        platform::MainLoop::drain();
    }
    window->onNote = nullptr;
    EXPECT_EQ(notesOf(*window, {"itemselect"}), Lines{"itemselect lang"});
    EXPECT_EQ(window->GetPaintManager().FindControl(L"lang"), nullptr);
    platform::HeadlessWindow* focused = platform::HeadlessWindow::focusedWindow();
    EXPECT_TRUE(focused == nullptr || focused == &window->headless());
}

}  // namespace
