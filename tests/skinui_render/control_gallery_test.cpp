// Every control class of the installer's skins laid out and painted through the real paint steps,
// compared with a committed reference image (see render_test_support.h for the diff on failure).
#include <gtest/gtest.h>

#include "render_test_support.h"
#include "skinui/control.h"
#include "skinui/dialog_builder.h"
#include "skinui/edit.h"
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

const wchar_t kGallery[] = LR"(<Window size="320,300">
  <Font id="0" name="" size="13"/>
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
    Canvas canvas(320, 300, 0xFFFFFFFF);
    SkinRect all{0, 0, canvas.width(), canvas.height()};
    root->SetPos(all);
    // The caret of a focused edit is part of the picture.
    manager.SetFocus(manager.FindControl(L"edit"));
    root->DoPaint(canvas.cr(), all);
    expectMatchesReference(canvas, "control_gallery.png", kTolerance);
}

}  // namespace
