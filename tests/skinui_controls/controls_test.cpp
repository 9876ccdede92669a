// The installer's controls driven through a headless window by name: clicks, option groups, the progress
// bar's bounds and the edit field's refusals.
#include <gtest/gtest.h>

#include "platform/clipboard.h"
#include "skinui/button.h"
#include "skinui/edit.h"
#include "skinui/label.h"
#include "skinui/progress.h"
#include "skinui_windows/toolkit_test_support.h"

namespace {

using namespace toolkit_test;
using Lines = std::vector<std::string>;

const wchar_t kLayout[] = LR"(<Window size="400,300">
  <VerticalLayout name="root">
    <HorizontalLayout height="40">
      <Button name="ok" width="100" text="OK"/>
      <Button name="off" width="100" text="Off" enabled="false"/>
      <Control/>
    </HorizontalLayout>
    <HorizontalLayout height="30">
      <Option name="en" width="80" group="lang" selected="true" text="EN"/>
      <Option name="zh" width="80" group="lang" text="ZH"/>
      <CheckBox name="agree" width="80" text="Agree"/>
      <CheckBox name="shortcut" width="80" text="Shortcut"/>
    </HorizontalLayout>
    <Progress name="bar" height="12" min="0" max="100" value="40" forecolor="#FF2080FF"/>
    <Edit name="path" height="30" text="abc"/>
    <Edit name="port" height="30" numberonly="true" maxchar="5"/>
    <Text name="terms" height="30" text="Read &lt;a terms&gt;the terms&lt;/a&gt; first"/>
    <Control/>
  </VerticalLayout>
</Window>)";

using Controls = HeadlessToolkitTest;

template <typename T>
T* as(TestWindow& window, const std::wstring& name) {
    T* control = dynamic_cast<T*>(window.GetPaintManager().FindControl(name));
    EXPECT_NE(control, nullptr) << narrow(name);
    return control;
}

TEST_F(Controls, AButtonClicksOnlyWhenPressedAndReleasedInside) {
    auto window = open(kLayout);
    clickOn(*window, L"ok");
    EXPECT_EQ(notesOf(*window, {"click"}), Lines{"click ok"});

    window->notes.clear();
    platform::Point inside = centreOf(*window, L"ok");
    window->headless().mouseDown(platform::MouseButton::Left, inside.x, inside.y);
    settle(*window);
    EXPECT_TRUE(as<CButtonUI>(*window, L"ok")->GetButtonState() & ButtonState::Pushed);
    window->headless().mouseMove(300, 250);
    settle(*window);
    EXPECT_FALSE(as<CButtonUI>(*window, L"ok")->GetButtonState() & ButtonState::Pushed);
    window->headless().mouseUp(platform::MouseButton::Left, 300, 250);
    settle(*window);
    EXPECT_EQ(notesOf(*window, {"click"}), Lines{});
    EXPECT_EQ(as<CButtonUI>(*window, L"ok")->GetButtonState() & (ButtonState::Pushed | ButtonState::Captured), 0u);

    clickOn(*window, L"off");
    EXPECT_EQ(notesOf(*window, {"click"}), Lines{});
}

TEST_F(Controls, GroupedOptionsSelectOneAndUngroupedOnesToggle) {
    auto window = open(kLayout);
    auto* en = as<COptionUI>(*window, L"en");
    auto* zh = as<COptionUI>(*window, L"zh");
    ASSERT_TRUE(en && zh);
    EXPECT_TRUE(en->IsSelected());

    clickOn(*window, L"zh");
    EXPECT_TRUE(zh->IsSelected());
    EXPECT_FALSE(en->IsSelected());
    EXPECT_EQ(notesOf(*window, {"selectchanged"}), (Lines{"selectchanged en", "selectchanged zh"}));

    // Clicking the selected member of a group keeps it selected and says nothing.
    window->notes.clear();
    clickOn(*window, L"zh");
    EXPECT_TRUE(zh->IsSelected());
    EXPECT_EQ(notesOf(*window, {"selectchanged"}), Lines{});

    // Check boxes without a group are independent and toggle.
    auto* agree = as<CCheckBoxUI>(*window, L"agree");
    auto* shortcut = as<CCheckBoxUI>(*window, L"shortcut");
    clickOn(*window, L"agree");
    clickOn(*window, L"shortcut");
    EXPECT_TRUE(agree->IsSelected());
    EXPECT_TRUE(shortcut->IsSelected());
    window->notes.clear();
    clickOn(*window, L"agree");
    EXPECT_FALSE(agree->IsSelected());
    EXPECT_TRUE(shortcut->IsSelected());
    EXPECT_EQ(notesOf(*window, {"selectchanged", "click"}), (Lines{"selectchanged agree", "click agree"}));

    // Quiet selection for window code restoring a state.
    window->notes.clear();
    en->Selected(true, false);
    EXPECT_FALSE(zh->IsSelected());
    EXPECT_EQ(notesOf(*window, {"selectchanged"}), Lines{});
}

TEST_F(Controls, ProgressKeepsItsValueInsideItsBounds) {
    auto window = open(kLayout);
    auto* bar = as<CProgressUI>(*window, L"bar");
    ASSERT_NE(bar, nullptr);
    int width = RectWidth(bar->GetPos());
    struct Case {
        int min, max, value;
        int expectedValue;
        int expectedFilled;  // pixels
    };
    const Case cases[] = {
        {0, 100, 40, 40, width * 40 / 100},
        {0, 100, -5, 0, 0},
        {0, 100, 150, 100, width},
        {10, 20, 15, 15, width / 2},
        {50, 50, 50, 50, 0},  // no range: empty, no division by zero
        {80, 20, 50, 80, 0},  // crossed bounds
    };
    for (const Case& c : cases) {
        bar->SetMinValue(c.min);
        bar->SetMaxValue(c.max);
        bar->SetValue(c.value);
        SCOPED_TRACE(std::to_string(c.min) + ".." + std::to_string(c.max) + " = " + std::to_string(c.value));
        EXPECT_EQ(bar->GetValue(), c.expectedValue);
        EXPECT_EQ(RectWidth(bar->FilledRect()), c.expectedFilled);
        settle(*window);  // paints with these bounds
    }
}

TEST_F(Controls, AnEditTakesTypedTextWhileFocused) {
    auto window = open(kLayout);
    auto* path = as<CEditUI>(*window, L"path");
    window->headless().typeText(L"x");
    settle(*window);
    EXPECT_EQ(path->GetText(), L"abc");  // not focused

    clickOn(*window, L"path");
    window->headless().typeText(L"de");
    window->headless().pressKey(platform::Key::Backspace);
    window->headless().pressKey(platform::Key::Return);
    settle(*window);
    EXPECT_EQ(path->GetText(), L"abcd");
    EXPECT_EQ(notesOf(*window, {"textchanged", "return"}),
              (Lines{"textchanged path", "textchanged path", "textchanged path", "return path"}));

    path->SetReadOnly(true);
    window->notes.clear();
    window->headless().typeText(L"z");
    settle(*window);
    EXPECT_EQ(path->GetText(), L"abcd");
    EXPECT_EQ(notesOf(*window, {"textchanged"}), Lines{});
}

TEST_F(Controls, AnEditRefusesTheCharacterBeyondItsMaximumAndLettersWhenNumeric) {
    auto window = open(kLayout);
    auto* path = as<CEditUI>(*window, L"path");
    path->SetText(std::wstring(254, L'a'));
    clickOn(*window, L"path");
    window->headless().pressKey(platform::Key::End);
    window->headless().typeText(L"bc");
    settle(*window);
    EXPECT_EQ(path->GetText(), std::wstring(254, L'a') + L"b");
    EXPECT_EQ(notesOf(*window, {"textchanged"}), Lines{"textchanged path"});

    auto* port = as<CEditUI>(*window, L"port");
    clickOn(*window, L"port");
    window->notes.clear();
    window->headless().typeText(L"8a0-8e0x12");
    settle(*window);
    EXPECT_EQ(port->GetText(), L"80801");
    EXPECT_EQ(port->InsertText(L"9"), false);
}

TEST_F(Controls, AnEditSelectsReplacesAndPlacesItsCaretWhereClicked) {
    auto window = open(kLayout);
    auto* path = as<CEditUI>(*window, L"path");
    path->SetText(L"hello world");
    settle(*window);
    const SkinRect& r = path->GetPos();
    const int middle = (r.top + r.bottom) / 2;

    // A click left of the text puts the caret first, one far right last.
    window->headless().click(r.left + 1, middle);
    settle(*window);
    EXPECT_EQ(path->GetCaret(), 0u);
    window->headless().click(r.right - 2, middle);
    settle(*window);
    EXPECT_EQ(path->GetCaret(), 11u);

    // Shift+Left selects backwards; typing replaces the selection with one change.
    window->headless().pressKey(platform::Key::Left, platform::keystate::Shift);
    window->headless().pressKey(platform::Key::Left, platform::keystate::Shift);
    settle(*window);
    EXPECT_EQ(path->GetSelText(), L"ld");
    window->notes.clear();
    window->headless().typeText(L"D");
    settle(*window);
    EXPECT_EQ(path->GetText(), L"hello worD");
    EXPECT_EQ(notesOf(*window, {"textchanged"}), Lines{"textchanged path"});

    // Ctrl+A and Backspace empty the field; Left collapses a selection without moving past it.
    window->headless().pressKey(platform::Key('A'), platform::keystate::Control);
    settle(*window);
    EXPECT_EQ(path->GetSelText(), L"hello worD");
    window->headless().pressKey(platform::Key::Left);
    settle(*window);
    EXPECT_EQ(path->GetCaret(), 0u);
    EXPECT_EQ(path->GetSelText(), L"");
    window->headless().pressKey(platform::Key::End, platform::keystate::Shift);
    window->headless().pressKey(platform::Key::Backspace);
    settle(*window);
    EXPECT_EQ(path->GetText(), L"");

    // Letters refused in number-only mode keep the selection and the text.
    auto* port = as<CEditUI>(*window, L"port");
    port->SetText(L"8080");
    clickOn(*window, L"port");
    port->SetSelAll();
    EXPECT_FALSE(port->InsertText(L"x"));
    EXPECT_EQ(port->GetText(), L"8080");
    EXPECT_EQ(port->GetSelText(), L"8080");
    // A full field still takes typing over a selection.
    port->SetText(L"80801");
    port->SetSel(0, 2);
    EXPECT_TRUE(port->InsertText(L"99"));
    EXPECT_EQ(port->GetText(), L"99801");
}

TEST_F(Controls, AnEditCopiesCutsAndPastesThroughTheClipboard) {
    auto window = open(kLayout);
    auto* path = as<CEditUI>(*window, L"path");
    auto* port = as<CEditUI>(*window, L"port");
    auto key = [&](char letter) {
        window->headless().pressKey(platform::Key(letter), platform::keystate::Control);
        settle(*window);
    };
    path->SetText(L"/opt/games");
    clickOn(*window, L"path");
    path->SetSel(0, 4);
    key('C');
    EXPECT_EQ(path->GetText(), L"/opt/games");
    key('X');
    EXPECT_EQ(path->GetText(), L"/games");
    window->headless().pressKey(platform::Key::End);
    key('V');
    EXPECT_EQ(path->GetText(), L"/games/opt");

    // A copied line keeps its text, not its line break; digits-only fields keep the digits of a paste.
    platform::setClipboardText(L"12ab34\r\n");
    clickOn(*window, L"port");
    key('V');
    EXPECT_EQ(port->GetText(), L"1234");
    clickOn(*window, L"path");
    window->headless().pressKey(platform::Key::End);
    key('V');
    EXPECT_EQ(path->GetText(), L"/games/opt12ab34");

    // Password text never reaches the clipboard; read-only text is copied but not cut.
    auto clipboard = [] {
        std::wstring text;
        platform::requestClipboardText([&](const std::wstring& got) { text = got; });
        return text;
    };
    path->SetPasswordMode(true);
    path->SetSelAll();
    key('C');
    key('X');
    EXPECT_EQ(clipboard(), L"12ab34\r\n");
    EXPECT_EQ(path->GetText(), L"/games/opt12ab34");
    path->SetPasswordMode(false);
    path->SetReadOnly(true);
    path->SetSel(0, 3);
    key('X');
    EXPECT_EQ(clipboard(), L"12ab34\r\n");
    key('C');
    EXPECT_EQ(clipboard(), L"/ga");
    EXPECT_EQ(path->GetText(), L"/games/opt12ab34");
}

TEST_F(Controls, AnEditShowsTheCompositionAtTheCaretAndKeepsTheCaretInView) {
    auto window = open(kLayout);
    auto* path = as<CEditUI>(*window, L"path");
    clickOn(*window, L"path");
    window->headless().pressKey(platform::Key::End);
    settle(*window);
    const platform::Rect before = window->headless().textInputRect();

    // The composition is shown but not part of the text; the input method's area follows the caret.
    window->headless().imePreedit(L"zhong");
    settle(*window);
    EXPECT_EQ(path->GetText(), L"abc");
    const platform::Rect composing = window->headless().textInputRect();
    EXPECT_GT(composing.left, before.left);
    window->headless().imePreedit(L"");
    window->headless().imeCommit(L"中");
    settle(*window);
    EXPECT_EQ(path->GetText(), L"abc中");
    EXPECT_EQ(notesOf(*window, {"textchanged"}), Lines{"textchanged path"});

    // A text wider than the field scrolls: the caret's area stays inside the field at either end.
    const SkinRect field = path->GetPos();
    auto inside = [&] {
        platform::Rect r = window->headless().textInputRect();
        return r.left >= field.left && r.right <= field.right;
    };
    for (int i = 0; i < 12; ++i) window->headless().typeText(L"long-folder-name/");
    settle(*window);
    EXPECT_TRUE(inside());
    EXPECT_GT(window->headless().textInputRect().left, (field.left + field.right) / 2);
    window->headless().pressKey(platform::Key::Home);
    settle(*window);
    EXPECT_TRUE(inside());
    EXPECT_LT(window->headless().textInputRect().left, field.left + 10);
    // A click maps to the scrolled text: just right of the left edge is the first character again.
    window->headless().pressKey(platform::Key::End);
    settle(*window);
    window->headless().click(field.left + 5, (field.top + field.bottom) / 2);
    settle(*window);
    EXPECT_GT(path->GetCaret(), 20u);
}

TEST_F(Controls, AnEditWithAutoSelectAllSelectsEverythingWhenItGetsTheFocus) {
    auto window = open(LR"(<Window size="300,100"><VerticalLayout>
      <Edit name="a" height="30" text="keep me" autoselall="true"/>
      <Edit name="b" height="30" text="plain"/>
    </VerticalLayout></Window>)");
    auto* a = as<CEditUI>(*window, L"a");
    auto* b = as<CEditUI>(*window, L"b");
    clickOn(*window, L"a");
    EXPECT_EQ(a->GetSelText(), L"keep me");
    window->headless().typeText(L"new");
    settle(*window);
    EXPECT_EQ(a->GetText(), L"new");

    clickOn(*window, L"b");
    EXPECT_EQ(b->GetSelText(), L"");
    EXPECT_EQ(a->GetSelText(), L"");  // losing the focus drops the selection
}

// Single-line labels without a width take their text's width, so a label and a link button sit side by side;
// multi-line labels take the height their text needs at their width.
TEST_F(Controls, LabelsSizeThemselvesToTheirText) {
    auto window = open(LR"(<Window size="600,400"><VerticalLayout>
      <HorizontalLayout name="row" height="30">
        <Label name="short" text="Hi" textpadding="5,0,5,0"/>
        <Label name="long" text="A much longer caption"/>
        <Label name="empty"/>
        <Label name="fixed" width="50" text="A much longer caption"/>
        <Label name="limited" text="A much longer caption" maxwidthex="60"/>
        <Label name="widened" text="x" minwidthex="70"/>
      </HorizontalLayout>
      <Label name="wrapped" width="80" multiline="true" text="several words that cannot fit on one line of eighty"/>
      <Label name="oneline" width="580" multiline="true" text="several words that cannot fit on one line of eighty"/>
      <Control/>
    </VerticalLayout></Window>)");
    auto width = [&](const wchar_t* name) { return RectWidth(find(*window, name)->GetPos()); };
    auto height = [&](const wchar_t* name) { return RectHeight(find(*window, name)->GetPos()); };

    EXPECT_GT(width(L"short"), 10);
    EXPECT_LT(width(L"short"), 60);
    EXPECT_GT(width(L"long"), 2 * width(L"short"));
    EXPECT_LT(width(L"long"), 300);
    EXPECT_EQ(width(L"fixed"), 50);
    EXPECT_EQ(width(L"limited"), 60);
    EXPECT_EQ(width(L"widened"), 70);
    // The empty label is the one flexible child: it takes what the others leave.
    int others = width(L"short") + width(L"long") + 50 + 60 + 70;
    EXPECT_EQ(width(L"empty"), 600 - others);
    // Adjacent: each starts where the one before ends.
    EXPECT_EQ(find(*window, L"long")->GetPos().left, find(*window, L"short")->GetPos().right);

    EXPECT_GT(height(L"wrapped"), 2 * height(L"oneline"));
    EXPECT_GT(height(L"oneline"), 5);
}

TEST_F(Controls, ThePointerShowsAHandOverLinksAndHandButtonsAndABeamOverEdits) {
    auto window = open(LR"(<Window size="300,200"><VerticalLayout>
      <Button name="hand" height="30" text="Visit" showcursor="true"/>
      <Button name="plain" height="30" text="Plain"/>
      <Button name="offhand" height="30" text="Off" showcursor="true" enabled="false"/>
      <Edit name="field" height="30"/>
      <Text name="terms" height="30" text="Read &lt;a terms&gt;terms&lt;/a&gt;"/>
      <Control/>
    </VerticalLayout></Window>)");
    auto* terms = as<CTextUI>(*window, L"terms");
    ASSERT_EQ(terms->GetLinks().size(), 1u);
    const SkinRect link = terms->GetLinks()[0].rect;
    const platform::Point overLink{(link.left + link.right) / 2, (link.top + link.bottom) / 2};
    const platform::Point besideLink{terms->GetPos().right - 3, overLink.y};
    struct Case {
        const char* where;
        platform::Point point;
        platform::Cursor expected;
    };
    const Case cases[] = {
        {"hand button", centreOf(*window, L"hand"), platform::Cursor::Hand},
        {"plain button", centreOf(*window, L"plain"), platform::Cursor::Arrow},
        {"link", overLink, platform::Cursor::Hand},
        {"disabled hand button", centreOf(*window, L"offhand"), platform::Cursor::Arrow},
        {"edit", centreOf(*window, L"field"), platform::Cursor::IBeam},
        {"text beside the link", besideLink, platform::Cursor::Arrow},
    };
    for (const Case& c : cases) {
        window->headless().mouseMove(c.point.x, c.point.y);
        settle(*window);
        EXPECT_EQ(window->GetHWND()->cursor(), c.expected) << c.where;
    }
}

TEST_F(Controls, AClickOnALinkOfATextReportsWhichLink) {
    auto window = open(kLayout);
    auto* terms = as<CTextUI>(*window, L"terms");
    ASSERT_NE(terms, nullptr);
    ASSERT_EQ(terms->GetLinks().size(), 1u);
    const SkinRect link = terms->GetLinks()[0].rect;
    EXPECT_EQ(terms->GetLinks()[0].target, L"terms");
    EXPECT_TRUE(RectsMeet(link, terms->GetPos()));

    window->headless().click((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    settle(*window);
    ASSERT_EQ(notesOf(*window, {"link"}), Lines{"link terms"});
    EXPECT_EQ(window->messages.back().wParam, 0);

    // Outside the link but inside the text: nothing.
    window->notes.clear();
    window->headless().click(terms->GetPos().right - 2, (link.top + link.bottom) / 2);
    settle(*window);
    EXPECT_EQ(notesOf(*window, {"link"}), Lines{});
}

}  // namespace
