// The layout rules: the box flow of vertical and horizontal layouts as a value (tables of cases), and
// built trees for the plain container, floating children, tab pages, scroll bars and visibility.
#include <gtest/gtest.h>

#include "skinui/box_layout.h"
#include "skinui/color_theme.h"
#include "skinui/container.h"
#include "skinui/dialog_builder.h"
#include "skinui/scroll_bar.h"
#include "skinui/tab_layout.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using Rect = SkinRect;

namespace {

BoxChild fixedMain(BoxAxis axis, int size) {
    BoxChild c;
    (axis == BoxAxis::Vertical ? c.fixed.cy : c.fixed.cx) = size;
    return c;
}

struct BoxCase {
    const char* name;
    BoxParams params;
    std::vector<BoxChild> children;
    std::vector<Rect> expected;
    SkinSize needed;
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

class BoxFlow : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoxFlow, PlacesEachChild) {
    const BoxCase& c = GetParam();
    BoxResult result = LayoutBox(c.params, c.children);
    EXPECT_EQ(result.rects, c.expected);
    EXPECT_EQ(result.needed, c.needed);
}

BoxParams vertical(Rect inner, int childPadding = 0, BoxAlign align = BoxAlign::Start) {
    return BoxParams{BoxAxis::Vertical, inner, {RectWidth(inner), RectHeight(inner)}, childPadding, align};
}

BoxParams horizontal(Rect inner, int childPadding = 0, BoxAlign align = BoxAlign::Start) {
    return BoxParams{BoxAxis::Horizontal, inner, {RectWidth(inner), RectHeight(inner)}, childPadding, align};
}

BoxChild with(BoxChild c, std::function<void(BoxChild&)> change) {
    change(c);
    return c;
}

const BoxChild kAdjustable{};
constexpr BoxAxis V = BoxAxis::Vertical;
constexpr BoxAxis H = BoxAxis::Horizontal;

INSTANTIATE_TEST_SUITE_P(
    Cases, BoxFlow,
    ::testing::Values(
        // +---- 20 fixed ----+
        // | rest: adjustable |  takes 100 - 20 - 30
        // +---- 30 fixed ----+
        BoxCase{"AdjustableTakesTheRestBetweenFixedSiblings",
                vertical({0, 0, 100, 100}),
                {fixedMain(V, 20), kAdjustable, fixedMain(V, 30)},
                {{0, 0, 100, 20}, {0, 20, 100, 70}, {0, 70, 100, 100}},
                {0, 100}},
        // Two adjustables in 101: the share is 50, the last takes the remaining 51.
        BoxCase{"OddFreeHeightGoesToTheLastAdjustable",
                vertical({0, 0, 80, 101}),
                {kAdjustable, kAdjustable},
                {{0, 0, 80, 50}, {0, 50, 80, 101}},
                {0, 101}},
        // A fixed 10 raised to its minimum 20; a share of 40 cut to a maximum of 30; the last adjustable
        // takes the rest (50) above its minimum 40.
        BoxCase{"MinimumAndMaximumClamps",
                vertical({0, 0, 100, 100}),
                {with(fixedMain(V, 10), [](BoxChild& c) { c.min.cy = 20; }),
                 with(kAdjustable, [](BoxChild& c) { c.max.cy = 30; }),
                 with(kAdjustable, [](BoxChild& c) { c.min.cy = 40; })},
                {{0, 0, 100, 20}, {0, 20, 100, 50}, {0, 50, 100, 100}},
                {0, 100}},
        // Child padding 10; a has padding 5 all round:
        //   5..25 a (x 5..95) | 35..40 gap | 40..60 b | 60..70 gap | 70..100 c
        // The adjustable b ends exactly where the child padding before c begins.
        BoxCase{"ChildPaddingAndPadding",
                vertical({0, 0, 100, 100}, 10),
                {with(fixedMain(V, 20), [](BoxChild& c) { c.padding = {5, 5, 5, 5}; }), kAdjustable,
                 fixedMain(V, 30)},
                {{5, 5, 95, 25}, {0, 40, 100, 60}, {0, 70, 100, 100}},
                {10, 100}},
        BoxCase{"HorizontalMirrorsVertical",
                horizontal({10, 20, 110, 70}, 5),
                {fixedMain(H, 20), kAdjustable, fixedMain(H, 30)},
                {{10, 20, 30, 70}, {35, 20, 75, 70}, {80, 20, 110, 70}},
                {100, 0}},
        // Across the flow: a fixed width of 40 placed left, centred or right in a width of 100.
        BoxCase{"ChildAlignCenter",
                vertical({0, 0, 100, 50}, 0, BoxAlign::Center),
                {with(kAdjustable, [](BoxChild& c) { c.fixed.cx = 40; })},
                {{30, 0, 70, 50}},
                {40, 50}},
        BoxCase{"ChildAlignRightWithPadding",
                vertical({0, 0, 100, 50}, 0, BoxAlign::End),
                {with(kAdjustable, [](BoxChild& c) {
                    c.fixed.cx = 40;
                    c.padding = {0, 0, 8, 0};
                })},
                {{52, 0, 92, 50}},
                {48, 50}},
        BoxCase{"ChildVAlignBottom",
                horizontal({0, 0, 100, 50}, 0, BoxAlign::End),
                {with(kAdjustable, [](BoxChild& c) { c.fixed.cy = 20; })},
                {{0, 30, 100, 50}},
                {100, 20}},
        // Without a fixed width a child fills the width up to its maximum and at least its minimum.
        BoxCase{"CrossSizeBetweenMaximumAndMinimum",
                vertical({0, 0, 100, 60}),
                {with(fixedMain(V, 20), [](BoxChild& c) { c.max.cx = 60; }),
                 with(fixedMain(V, 20), [](BoxChild& c) { c.min.cx = 150; })},
                {{0, 0, 60, 20}, {0, 20, 150, 40}},
                {150, 40}},
        // Content taller than the room: nothing is squeezed, the needed height tells the scroll bar.
        BoxCase{"OverflowKeepsFixedSizes",
                vertical({0, 0, 50, 50}),
                {fixedMain(V, 40), fixedMain(V, 40), kAdjustable},
                {{0, 0, 50, 40}, {0, 40, 50, 80}, {0, 80, 50, 80}},
                {0, 80}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BoxFlow, EstimatedSizesCountAsOwnSizes) {
    BoxChild label;
    label.estimate = [](SkinSize available) { return SkinSize{available.cx, 24}; };
    BoxResult r = LayoutBox(vertical({0, 0, 100, 100}), {label, kAdjustable});
    EXPECT_EQ(r.rects, (std::vector<Rect>{{0, 0, 100, 24}, {0, 24, 100, 100}}));
}

// ---- built trees ----

// The controls of `xml` (under a "Window" element, as in a layout file).
std::unique_ptr<CControlUI> build(const std::wstring& xml) {
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(L"<Window>" + xml + L"</Window>"));
    EXPECT_NE(root, nullptr) << utility::wideToUtf8(builder.GetMarkup().GetLastErrorMessage());
    return root;
}

CControlUI* child(CControlUI* parent, int index) {
    auto* container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
    return container ? container->GetItemAt(index) : nullptr;
}

struct TreeCase {
    const char* name;
    const wchar_t* xml;
    Rect rootRect;
    std::vector<int> path;  // child indexes from the root
    Rect expected;
};

void PrintTo(const TreeCase& c, std::ostream* os) { *os << c.name; }

class TreeLayout : public ::testing::TestWithParam<TreeCase> {};

TEST_P(TreeLayout, PlacesTheChild) {
    const TreeCase& c = GetParam();
    auto root = build(c.xml);
    ASSERT_NE(root, nullptr);
    root->SetPos(c.rootRect);
    CControlUI* target = root.get();
    for (int i : c.path) {
        target = child(target, i);
        ASSERT_NE(target, nullptr);
    }
    EXPECT_EQ(target->GetPos(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TreeLayout,
    ::testing::Values(
        // The plain container lays every child over its inner rectangle, within the child's limits.
        TreeCase{"ContainerInsetAndLimits",
                 LR"(<Container inset="10,5,10,5"><Control maxwidth="50"/><Control minheight="300"/></Container>)",
                 {0, 0, 200, 100}, {0}, {10, 5, 60, 95}},
        TreeCase{"ContainerMinimumHeight",
                 LR"(<Container inset="10,5,10,5"><Control maxwidth="50"/><Control minheight="300"/></Container>)",
                 {0, 0, 200, 100}, {1}, {10, 5, 190, 305}},
        // "pos" then "width" and "height": at (240, 80) relative to the parent, 160 x 44.
        TreeCase{"FloatPosThenSize",
                 LR"(<VerticalLayout><Control float="true" pos="240,80,0,0" width="160" height="44"/></VerticalLayout>)",
                 {10, 10, 640, 410}, {0}, {250, 90, 410, 134}},
        TreeCase{"FloatPosWithoutWidth",
                 LR"(<VerticalLayout><Control float="true" pos="240,80,0,0" height="44"/></VerticalLayout>)",
                 {10, 10, 640, 410}, {0}, {250, 90, 250, 134}},
        // Floating children take no room from the flow: the second child still starts at the top.
        TreeCase{"FloatTakesNoRoom",
                 LR"(<VerticalLayout><Control float="true" pos="0,0,50,50"/><Control height="20"/></VerticalLayout>)",
                 {0, 0, 100, 100}, {1}, {0, 0, 100, 20}},
        // Anchored at the parent's centre by percentages, whatever the parent's size.
        TreeCase{"FloatPercentCentre",
                 LR"(<Container><Control float="0.5,0.5,0.5,0.5" pos="-20,-10,20,10"/></Container>)",
                 {0, 0, 200, 100}, {0}, {80, 40, 120, 60}},
        TreeCase{"FloatPercentCentreGrown",
                 LR"(<Container><Control float="0.5,0.5,0.5,0.5" pos="-20,-10,20,10"/></Container>)",
                 {0, 0, 400, 200}, {0}, {180, 90, 220, 110}},
        // The selected page fills the inner rectangle less its padding, or takes its own width.
        TreeCase{"TabPageWithPadding",
                 LR"(<TabLayout inset="2,2,2,2"><Control padding="3,4,5,6"/><Control/></TabLayout>)",
                 {0, 0, 100, 100}, {0}, {5, 6, 93, 92}},
        TreeCase{"TabSelectedPageOwnWidth",
                 LR"(<TabLayout selectedid="1"><Control/><Control width="40"/></TabLayout>)",
                 {0, 0, 100, 100}, {1}, {0, 0, 40, 100}},
        TreeCase{"NestedLayouts",
                 LR"(<VerticalLayout><HorizontalLayout height="30" childpadding="4"><Control width="10"/><Control/></HorizontalLayout></VerticalLayout>)",
                 {0, 0, 100, 100}, {0, 1}, {14, 0, 100, 30}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TabLayout, ShowsOnlyTheSelectedPage) {
    struct Case {
        const wchar_t* xml;
        int selected;
    };
    for (Case c : {Case{LR"(<TabLayout><Control/><Control/><Control/></TabLayout>)", 0},
                   Case{LR"(<TabLayout selectedid="2"><Control/><Control/><Control/></TabLayout>)", 2}}) {
        auto root = build(c.xml);
        auto* tab = static_cast<CTabLayoutUI*>(root->GetInterface(L"TabLayout"));
        ASSERT_NE(tab, nullptr);
        EXPECT_EQ(tab->GetCurSel(), c.selected) << utility::wideToUtf8(c.xml);
        for (int i = 0; i < tab->GetCount(); ++i) EXPECT_EQ(tab->GetItemAt(i)->IsVisible(), i == c.selected);
    }

    auto root = build(LR"(<TabLayout><Control/><Control/></TabLayout>)");
    auto* tab = static_cast<CTabLayoutUI*>(root->GetInterface(L"TabLayout"));
    EXPECT_FALSE(tab->SelectItem(2));
    EXPECT_FALSE(tab->SelectItem(-1));
    EXPECT_TRUE(tab->SelectItem(0));
    // Inserting before the selected page keeps the same page selected.
    ASSERT_TRUE(tab->AddAt(new CControlUI(), 0));
    EXPECT_EQ(tab->GetCurSel(), 1);
    EXPECT_FALSE(tab->GetItemAt(0)->IsVisible());
}

TEST(Visibility, HidingAContainerHidesItsSubtreeAndShowingRestoresEachChild) {
    auto root = build(LR"(<VerticalLayout>
        <VerticalLayout>
          <Control/>
          <Control visible="false"/>
          <HorizontalLayout><Control/></HorizontalLayout>
        </VerticalLayout>
      </VerticalLayout>)");
    CControlUI* box = child(root.get(), 0);
    CControlUI* shown = child(box, 0);
    CControlUI* hidden = child(box, 1);
    CControlUI* deep = child(child(box, 2), 0);

    box->SetVisible(false);
    EXPECT_FALSE(shown->IsVisible());
    EXPECT_FALSE(deep->IsVisible());
    EXPECT_TRUE(shown->IsOwnVisible()) << "the child's own setting stays";
    EXPECT_TRUE(deep->IsOwnVisible());

    box->SetVisible(true);
    EXPECT_TRUE(shown->IsVisible());
    EXPECT_TRUE(deep->IsVisible());
    EXPECT_FALSE(hidden->IsVisible()) << "a child hidden by itself stays hidden";

    // "visible" false on a layout in the markup: the children report invisible, their flags stay true.
    auto hiddenRoot = build(LR"(<VerticalLayout><VerticalLayout visible="false"><Control/></VerticalLayout></VerticalLayout>)");
    CControlUI* inner = child(child(hiddenRoot.get(), 0), 0);
    EXPECT_FALSE(inner->IsVisible());
    EXPECT_TRUE(inner->IsOwnVisible());
}

TEST(ScrollBars, AppearWhenTheContentIsTallerAndGoWhenItFits) {
    auto root = build(LR"(<VerticalLayout vscrollbar="true"><Control height="80"/><Control height="80"/></VerticalLayout>)");
    auto* box = static_cast<CContainerUI*>(root->GetInterface(L"Container"));
    box->SetPos({0, 0, 100, 100});
    CScrollBarUI* bar = box->GetVerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollRange(), 60);
    EXPECT_EQ(bar->GetPos(), (Rect{84, 0, 100, 100}));
    EXPECT_EQ(child(root.get(), 1)->GetPos(), (Rect{0, 80, 84, 160})) << "the bar takes its width";

    box->SetScrollPos({0, 25});
    EXPECT_EQ(child(root.get(), 1)->GetPos(), (Rect{0, 55, 84, 135}));
    box->SetScrollPos({0, 500});
    EXPECT_EQ(box->GetScrollPos().cy, 60) << "clamped into the range";

    box->SetPos({0, 0, 100, 400});
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(bar->GetScrollPos(), 0);
    EXPECT_EQ(child(root.get(), 1)->GetPos(), (Rect{0, 80, 100, 160}));
}

TEST(ControlAttributes, SizesAndFlags) {
    CControlUI c;
    c.SetAttribute(L"width", L"30");
    c.SetAttribute(L"width", L"-5");  // negative sizes are ignored
    c.SetAttribute(L"minheight", L"7");
    c.SetAttribute(L"maxwidth", L"-1");
    c.SetAttribute(L"tooltip", L"one<n>two");
    c.SetAttribute(L"bordersize", L"1,2,3,4");
    c.SetAttribute(L"keyboard", L"True");  // only "true" is true
    c.SetAttribute(L"float", L"yes");
    c.SetAttribute(L"shortcut", L"Qx");
    EXPECT_EQ(c.GetFixedWidth(), 30);
    EXPECT_EQ(c.GetMinHeight(), 7);
    EXPECT_EQ(c.GetMaxWidth(), kDefaultMaxSize);
    EXPECT_EQ(c.GetToolTip(), L"one\r\ntwo");
    EXPECT_EQ(c.GetBorderRect(), (SkinRect{1, 2, 3, 4}));
    EXPECT_FALSE(c.IsKeyboardEnabled());
    EXPECT_FALSE(c.IsFloat());
    EXPECT_EQ(c.GetShortcut(), L'Q');
    c.SetAttribute(L"float", L"0.25,0.5,1,1");
    EXPECT_TRUE(c.IsFloat());
    EXPECT_EQ(c.GetFloatPercent(), (TPercentInfo{0.25, 0.5, 1, 1}));
    c.SetAttribute(L"pos", L"10,20,5,60");  // a negative width leaves the width as it was
    EXPECT_EQ(c.GetFixedXY(), (SkinSize{10, 20}));
    EXPECT_EQ(c.GetFixedWidth(), 30);
    EXPECT_EQ(c.GetFixedHeight(), 40);
}

TEST(ControlAttributes, BkColorIndexTakesTheThemeColour) {
    LoadThemeColors();  // no instance, no "colors.ini": the built-in colours
    CControlUI c;
    c.SetAttribute(L"bkcolorIndex", L"4");
    EXPECT_EQ(c.GetBkColor(), 0xFFF5F5F5u);
    c.SetAttribute(L"bkcolorIndex", L"7");
    EXPECT_EQ(c.GetBkColor(), 0u) << "past the end of the theme: no background";
}

}  // namespace
