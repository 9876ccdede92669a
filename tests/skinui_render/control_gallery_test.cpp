// Every control class of the installer's skins laid out and painted through the real paint steps,
// compared with a committed reference image (see render_test_support.h for the diff on failure).
#include <gtest/gtest.h>

#include <algorithm>

#include "render_test_support.h"
#include "skinui/control.h"
#include "skinui/dialog_builder.h"
#include "skinui/combo.h"
#include "skinui/edit.h"
#include "skinui/rich_edit.h"
#include "skinui/paint_manager.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using namespace render_test;

namespace {

// Text antialiasing and stretching may round differently between library versions.
constexpr int kTolerance = 8;

// A four-state button strip, 40 x 20 per state, with a magenta mask around a rounded face.
uint32_t buttonStrip(int x, int y) {
    static const uint32_t colors[4] = {0xFF3D85C6, 0xFF6FA8DC, 0xFF1F3A5F, 0xFF9E9E9E};
    int lx = x % 40;
    if ((lx < 2 || lx > 37) && (y < 2 || y > 17)) return 0xFFFF00FF;
    return colors[x / 40];
}

uint32_t checkMark(int x, int y) { return (x == y || x == 15 - y || x < 2 || y < 2 || x > 13 || y > 13) ? 0xFF202020 : 0xFFFFFFFF; }
uint32_t checkEmpty(int x, int y) { return (x < 2 || y < 2 || x > 13 || y > 13) ? 0xFF202020 : 0xFFFFFFFF; }
uint32_t stripe(int x, int) { return (x / 3) % 2 ? 0xFF43A047 : 0xFF66BB6A; }

// Scroll bar parts: four 8 x 8 states side by side (normal, hot, pushed, disabled), magenta corners masked.
uint32_t scrollPart(uint32_t face, int x, int y) {
    int lx = x % 8;
    if ((lx == 0 || lx == 7) && (y == 0 || y == 7)) return 0xFFFF00FF;
    static const int shade[4] = {0, 0x18, 0x30, -0x30};
    int delta = shade[x / 8];
    auto channel = [&](int shift) { return uint32_t(std::clamp(int((face >> shift) & 0xFF) - delta, 0, 255)) << shift; };
    return 0xFF000000 | channel(16) | channel(8) | channel(0);
}
uint32_t scrollButton1(int x, int y) { return (y >= 3 && y <= 4 && x % 8 >= 2 && x % 8 <= 5) ? 0xFF37474F : scrollPart(0xFFB0BEC5, x, y); }
uint32_t scrollButton2(int x, int y) { return (x % 8 >= 3 && x % 8 <= 4 && y >= 2 && y <= 5) ? 0xFF37474F : scrollPart(0xFFB0BEC5, x, y); }
uint32_t scrollThumb(int x, int y) { return scrollPart(0xFF607D8B, x, y); }
uint32_t scrollRail(int, int y) { return y % 3 == 1 ? 0xFFCFD8DC : 0xFFFF00FF; }
uint32_t scrollBack(int x, int y) { return scrollPart(0xFFECEFF1, x, y); }

const wchar_t kGallery[] = LR"(<Window size="320,600">
  <Font id="0" name="" size="13"/>
  <Font id="1" name="Sans" size="20" bold="true"/>
  <VerticalLayout name="root" bkcolor="#FFF5F5F5" bkcolor2="#FFE0E0E0" inset="0,0,0,0">
    <Label height="24" text="Label left" textpadding="6,0,0,0" textcolor="#FF202020"/>
    <Label height="24" text="中文标签 居中" align="center" textcolor="#FF0D47A1" bordersize="1" bordercolor="#FF90CAF9"/>
    <Text height="36" showhtml="true" multiline="true" textpadding="6,2,6,2" text="I accept the &lt;u #666666&gt;license&lt;/u&gt; and &lt;b&gt;terms&lt;/b&gt;." textcolor="#FF333333"/>
    <HorizontalLayout height="30" padding="0,4,0,0">
      <Button name="normal" width="60" normalimage="file='strip.png' source='0,0,40,20' mask='#FFFF00FF'" text="OK" textcolor="#FFFFFFFF"/>
      <Button name="std" width="60" standardimage="file='strip.png' mask='#FFFF00FF'" text="Std" textcolor="#FFFFFFFF"/>
      <Button name="off" width="60" enabled="false" standardimage="file='strip.png' mask='#FFFF00FF'" text="Off"/>
      <Button width="60" bkcolor="#FFFFC107" borderround="10,10" bordersize="1" bordercolor="#FF795548" text="Round"/>
      <Button width="30" foreimage="file='check_on.png' dest='7,7,23,23'"/>
    </HorizontalLayout>
    <HorizontalLayout height="26" padding="0,4,0,0">
      <Option width="80" group="g" selected="true" selectedimage="file='check_on.png' dest='2,5,18,21'" normalimage="file='check_off.png' dest='2,5,18,21'" text="One" textpadding="20,0,0,0" align="left"/>
      <Option width="80" group="g" selectedimage="file='check_on.png' dest='2,5,18,21'" normalimage="file='check_off.png' dest='2,5,18,21'" text="Two" textpadding="20,0,0,0" align="left"/>
      <CheckBox width="120" selected="true" selectedimage="file='check_on.png' dest='2,5,18,21'" normalimage="file='check_off.png' dest='2,5,18,21'" text="同意协议" textpadding="20,0,0,0" align="left"/>
    </HorizontalLayout>
    <Progress height="12" padding="6,6,6,0" bkcolor="#FFCFD8DC" foreimage="file='stripe.png' xtiled='true'" value="60"/>
    <Progress height="12" padding="6,4,6,0" bkcolor="#FFCFD8DC" forecolor="#FFE53935" min="10" max="20" value="12"/>
    <Edit name="edit" height="28" padding="6,6,6,0" text="/home/user/Games" bordersize="1" bordercolor="#FF9E9E9E" textcolor="#FF202020"/>
    <Edit name="secret" height="28" padding="6,4,6,0" text="hunter2" password="true" bordersize="1" bordercolor="#FF9E9E9E" textcolor="#FF202020"/>
    <HorizontalLayout height="40" padding="0,4,0,0">
      <Label width="150" text="Effect 效果" font="1" textpadding="6,0,0,0" enabledeffect="true" enabledshadow="true" enabledstroke="true" shadowoffset="2,2" textshadowcolora="#80000000" strokecolor="#FF0D47A1" textcolor="#FFFFFFFF" textcolor1="#FFFFE082" gradientangle="90"/>
      <Button width="80" drawmulline="true" text="Two-line caption" bkcolor="#FFB3E5FC" textcolor="#FF01579B"/>
      <Label text="Fits" textpadding="4,0,4,0" bkcolor="#FFFFF9C4" textcolor="#FF202020"/>
      <Control/>
    </HorizontalLayout>
    <Combo name="combo" height="28" padding="6,6,150,0" showtext="true" textpadding="8,0,24,0" textcolor="#FF202020" bkcolor="#FFFFFFFF" bordersize="1" bordercolor="#FF9E9E9E" normalimage="file='check_off.png' dest='138,6,154,22'">
      <ListLabelElement text="English"/>
      <ListLabelElement text="简体中文"/>
    </Combo>
    <RichEdit name="licence" height="84" padding="6,6,6,0" vscrollbar="true" readonly="true" multiline="true" textpadding="6,4,4,4" bkcolor="#FFFFFFFF" bordersize="1" bordercolor="#FF9E9E9E" textcolor="#FF666666"/>
    <ScrollBar name="hbar" hor="true" height="16" padding="6,6,6,0" range="200" value="120" linesize="10"/>
    <Control height="30" padding="6,6,6,0" bkimage="file='strip.png' corner='4,4,4,4' source='40,0,80,20' mask='#FFFF00FF'"/>
    <Control bkcolor="#FF20203A" bkcolor2="#FF2E3956" bkcolor3="#FF20203A" padding="0,6,0,0"/>
  </VerticalLayout>
</Window>)";

class ControlGallery : public CleanToolkit {
protected:
    void SetUp() override {
        CleanToolkit::SetUp();
        CPaintManagerUI::SetResourcePath(utility::utf8ToWide(temp_.path()));
        put("strip.png", pngOf(160, 20, buttonStrip));
        put("check_on.png", pngOf(16, 16, checkMark));
        put("check_off.png", pngOf(16, 16, checkEmpty));
        put("stripe.png", pngOf(12, 12, stripe));
        put("scroll_button1.png", pngOf(32, 8, scrollButton1));
        put("scroll_button2.png", pngOf(32, 8, scrollButton2));
        put("scroll_thumb.png", pngOf(32, 8, scrollThumb));
        put("scroll_tail.png", pngOf(32, 8, scrollRail));
        put("scroll_back.png", pngOf(32, 8, scrollBack));
    }
    void put(const std::string& name, const std::vector<uint8_t>& bytes) {
        testing_support::writeFile(temp_.file(name), std::string(bytes.begin(), bytes.end()));
    }

    testing_support::TempDir temp_;
};

TEST_F(ControlGallery, EveryControlPaintsLikeTheReference) {
    CPaintManagerUI manager;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(kGallery, nullptr, &manager);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(manager.AttachDialog(root));
    Canvas canvas(320, 600, 0xFFFFFFFF);
    SkinRect all{0, 0, canvas.width(), canvas.height()};
    auto* combo = dynamic_cast<CComboUI*>(manager.FindControl(L"combo"));
    ASSERT_NE(combo, nullptr);
    combo->SelectItem(1);
    auto* licence = dynamic_cast<CRichEditUI*>(manager.FindControl(L"licence"));
    ASSERT_NE(licence, nullptr);
    std::wstring text;
    for (int i = 1; i <= 12; ++i) text += L"Clause " + std::to_wstring(i) + L". The licence text wraps inside its box; 条款.\n";
    licence->SetText(text);
    root->SetPos(all);
    // A scrolled view: the thumb leaves the top and the text starts mid-way.
    root->SetPos(all);
    licence->LineDown();
    root->SetPos(all);
    // The caret of a focused edit is part of the picture.
    manager.SetFocus(manager.FindControl(L"edit"));
    root->DoPaint(canvas.cr(), all);
    expectMatchesReference(canvas, "control_gallery.png", kTolerance);
}

}  // namespace
