// The grammar of image descriptions.
#include "skinui/image_description.h"

#include <gtest/gtest.h>

#include "utility/text_codec.h"

using namespace SkinUI;

namespace {

TImageDescription named(std::wstring name) {
    TImageDescription d;
    d.name = std::move(name);
    return d;
}

TEST(ImageDescription, ItemsAndTheirEndings) {
    TImageDescription strip = named(L"btn_login.png");
    strip.source = {0, 0, 60, 44};
    strip.corner = {20, 20, 20, 20};
    strip.mask = 0xFFFF00FF;

    TImageDescription closeAt = named(L"common\\close.png");
    closeAt.dest = {5, 5, 29, 29};

    TImageDescription spaced = named(L"a.png");
    spaced.fade = 128;

    TImageDescription resource = named(L"LOGO");
    resource.resType = L"PNG";

    TImageDescription color = named(L"#FF102030");
    color.resType = kColorResourceType;

    TImageDescription tiles = named(L"bar.png");
    tiles.hole = true;
    tiles.xtiled = true;
    tiles.ytiled = false;  // only "true" counts

    struct Case {
        const wchar_t* text;
        TImageDescription expected;
    } cases[] = {
        {L"min.png", named(L"min.png")},
        {L"common\\close.png", named(L"common\\close.png")},
        {L"file='btn_login.png' source='0,0,60,44' corner='20,20,20,20' mask='0xffff00ff'", strip},
        {L"file='common\\close.png' dest='5,5,29,29'", closeAt},
        // No space after the quote: the rest is not read.
        {L"file='shadow.png'dest='0,0,610,480'", named(L"shadow.png")},
        {L"file='shadow.png'\tdest='0,0,610,480'", named(L"shadow.png")},
        // Whitespace around "=" and before a key; more spaces after the single one are leading whitespace.
        {L"  file = 'a.png'  fade ='128'", spaced},
        // "scale9" is "corner"; unknown keys and empty values are passed over.
        {L"file='btn_login.png' source='0,0,60,44' scale9='20,20,20,20' shadow='x' mask='#FFFF00FF' dest=''",
         strip},
        {L"res='LOGO' restype='PNG'", resource},
        {L"restype='PNG' res='LOGO'", resource},
        {L"file='a.png' restype='PNG'", named(L"a.png")},  // restype alone does nothing
        {L"color='#FF102030'", color},
        {L"file='bar.png' hole='true' xtiled='true' ytiled='True'", tiles},
        // Faults end the description with what was read before them.
        {L"file='a.png' dest='1,2,3,4", named(L"a.png")},
        {L"file='a.png' dest", named(L"a.png")},
        {L"file='a.png' dest=5", named(L"a.png")},
        {L"=", TImageDescription{}},
        {L"file=''", TImageDescription{}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseImageDescription(c.text), c.expected) << utility::wideToUtf8(c.text);
    }
}

TEST(ImageDescription, FadeIsKeptWithinOpacityRange) {
    EXPECT_EQ(ParseImageDescription(L"file='a' fade='300'").fade, 255);
    EXPECT_EQ(ParseImageDescription(L"file='a' fade='-4'").fade, 0);
    EXPECT_EQ(ParseImageDescription(L"file='a' fade='abc'").fade, 0);
}

}  // namespace
