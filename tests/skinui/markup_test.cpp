#include "skinui/markup.h"

#include <gtest/gtest.h>

#include "skin_test_support.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using namespace skin_test;

namespace {

std::string narrow(const std::wstring& w) { return utility::wideToUtf8(w); }

TEST(Markup, SyntaxErrorsFailTheLoadWithTheirMessage) {
    struct Case {
        std::wstring text;
        std::wstring message;
        std::wstring location;  // where parsing stopped
    } cases[] = {
        {L"<Window><Label text='single'/></Window>", L"Expected attribute value", L"'single'/></Window>"},
        {L"<Window><a><b></a></b></Window>", L"Unmatched closing tag", L"a></b></Window>"},
        {L"<Window><a></ab></Window>", L"Unmatched closing tag", L"b></Window>"},
        {L"<Window><ab></a></Window>", L"Unmatched closing tag", L"a></Window>"},
        {L"<Window><a></a</Window>", L"Unmatched closing tag", L"</Window>"},
        {L"text before <Window/>", L"Expected start tag", L"text before <Window/>"},
        {L"<Window>< Label/></Window>", L"Error parsing element name", L" Label/></Window>"},
        {L"<Window><Label text/></Window>", L"Error while parsing attributes", L"/></Window>"},
        {L"<Window><Label -x=\"1\"/></Window>", L"Error while parsing attributes", L"-x=\"1\"/></Window>"},
        {L"<Window><Label text=\"open", L"Error while parsing attribute string", L""},
        {L"<Window><Label text=\"1\"", L"Expected start-tag closing", L""},
        {L"<Window><Label / ></Window>", L"Expected start-tag closing", L"/ ></Window>"},
        {L"<Window><Label>text", L"Expected end-tag start", L""},
        {L"<Window><a><b/>", L"Expected start tag", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.text));
        CMarkupDocument doc;
        EXPECT_FALSE(doc.LoadFromString(c.text));
        EXPECT_FALSE(doc.IsValid());
        EXPECT_EQ(doc.GetLastErrorMessage(), c.message);
        EXPECT_EQ(doc.GetLastErrorLocation(), c.location);
    }
}

TEST(Markup, ErrorLocationIsCutTo49Characters) {
    CMarkupDocument doc;
    EXPECT_FALSE(doc.LoadFromString(L"<Window><a x='" + std::wstring(100, L'y') + L"'/></Window>"));
    EXPECT_EQ(doc.GetLastErrorLocation(), L"'" + std::wstring(48, L'y'));
}

TEST(Markup, AcceptedDocuments) {
    struct Case {
        const char* what;
        std::wstring text;
        std::wstring rootChildren;  // names of the root's children
    } cases[] = {
        {"plain", L"<Window><a/><b></b></Window>", L"a b"},
        {"no end tag of the root", L"<Window><a/><b></b>", L"a b"},
        {"only the root's start tag", L"<Window size=\"1,2\">", L""},
        {"the root's text runs to the end", L"<Window>text", L""},
        {"comments and declarations", L"<?xml version=\"1.0\"?>\n<!-- a -->\n<Window><!--x--><a/><?pi?></Window>",
         L"a"},
        {"whitespace everywhere allowed", L" \r\n<Window >\n\t<a x = \"1\"y=\"2\" />\n</Window >  ", L"a"},
        {"names with digits, _ and :", L"<Window><a_1:b/></Window>", L"a_1:b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CMarkupDocument doc;
        ASSERT_TRUE(doc.LoadFromString(c.text)) << narrow(doc.GetLastErrorMessage());
        EXPECT_EQ(doc.GetLastErrorMessage(), L"");
        CMarkupNode root = doc.GetRoot();
        EXPECT_EQ(root.GetName(), L"Window");
        std::wstring names;
        for (CMarkupNode n = root.GetChild(); n.IsValid(); n = n.GetSibling())
            names += (names.empty() ? L"" : L" ") + n.GetName();
        EXPECT_EQ(names, c.rootChildren);
    }
}

TEST(Markup, TreeNavigationAndText) {
    CMarkupDocument doc;
    ASSERT_TRUE(doc.LoadFromString(L"<Window><a>  text of a <b/> </a><c/></Window>"));
    CMarkupNode root = doc.GetRoot();
    CMarkupNode a = root.GetChild();
    EXPECT_EQ(a.GetName(), L"a");
    EXPECT_EQ(a.GetValue(), L"  text of a ");  // up to the first child, spaces kept
    EXPECT_TRUE(a.HasChildren());
    EXPECT_TRUE(a.HasSiblings());
    EXPECT_EQ(a.GetChild().GetName(), L"b");
    EXPECT_EQ(a.GetChild().GetParent().GetName(), L"a");
    EXPECT_FALSE(a.GetChild().HasChildren());
    EXPECT_EQ(a.GetSibling().GetName(), L"c");
    EXPECT_FALSE(a.GetSibling().GetSibling().IsValid());
    EXPECT_FALSE(root.GetParent().IsValid());
    EXPECT_FALSE(CMarkupNode().GetChild().IsValid());
    EXPECT_EQ(CMarkupNode().GetName(), L"");
}

TEST(Markup, EntitiesAreDecodedOnceAndUnknownOnesStay) {
    CMarkupDocument doc;
    ASSERT_TRUE(doc.LoadFromString(
        L"<Window v=\"&amp;lt; &lt;&gt;&amp;&quot;&apos; &nbsp; &#65; &amp\" >a&amp;lt;b &gt; &copy;</Window>"));
    CMarkupNode root = doc.GetRoot();
    EXPECT_EQ(root.GetAttributeValue(L"v"), L"&lt; <>&\"' &nbsp; &#65; &amp");
    EXPECT_EQ(root.GetValue(), L"a&lt;b > &copy;");
}

TEST(Markup, AttributesKeepTheirOrderSpacesAndLetterCase) {
    CMarkupDocument doc;
    ASSERT_TRUE(
        doc.LoadFromString(L"<Window><a Name=\" x \" name=\"y\" empty=\"\" text=\"line\r\n\tnext\"/></Window>"));
    CMarkupNode a = doc.GetRoot().GetChild();
    ASSERT_EQ(a.GetAttributeCount(), 4);
    EXPECT_EQ(a.GetAttributeName(0), L"Name");
    EXPECT_EQ(a.GetAttributeValue(0), L" x ");
    EXPECT_EQ(a.GetAttributeValue(L"name"), L"y");
    EXPECT_EQ(a.GetAttributeValue(L"NAME"), L"");
    EXPECT_TRUE(a.HasAttribute(L"empty"));
    EXPECT_FALSE(a.HasAttribute(L"Empty"));
    EXPECT_EQ(a.GetAttributeValue(L"text"), L"line\r\n\tnext");
    EXPECT_EQ(a.GetAttributeName(4), L"");
    EXPECT_EQ(a.GetAttributeValue(-1), L"");
}

TEST(Markup, OnlyTheFirst64AttributesAreSeen) {
    std::wstring element = L"<Window><a";
    for (int i = 1; i <= 70; ++i) element += L" k" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
    element += L"/><b after=\"1\"/></Window>";
    CMarkupDocument doc;
    ASSERT_TRUE(doc.LoadFromString(element));
    CMarkupNode a = doc.GetRoot().GetChild();
    EXPECT_EQ(a.GetAttributeCount(), 64);
    EXPECT_EQ(a.GetAttributeValue(L"k64"), L"v64");
    EXPECT_FALSE(a.HasAttribute(L"k65"));
    EXPECT_EQ(a.GetSibling().GetAttributeValue(L"after"), L"1");  // parsing went on normally
}

TEST(Markup, EncodingsOfLoadFromMem) {
    const std::string utf8 = "<Window title=\"\xE7\xA1\xAE\xE5\xAE\x9A\"/>";
    auto utf16 = [](const std::wstring& text, bool bigEndian, bool mark) {
        std::vector<uint8_t> out;
        if (mark) out = bigEndian ? std::vector<uint8_t>{0xFE, 0xFF} : std::vector<uint8_t>{0xFF, 0xFE};
        for (wchar_t c : text) {
            uint8_t hi = uint8_t(uint32_t(c) >> 8), lo = uint8_t(c);
            out.push_back(bigEndian ? hi : lo);
            out.push_back(bigEndian ? lo : hi);
        }
        return out;
    };
    const std::wstring wide = L"<Window title=\"\x786E\x5B9A\"/>";
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int encoding;
        bool ok;
    } cases[] = {
        {"UTF-8", bytesOf(utf8), CMarkupDocument::kEncodingUtf8, true},
        {"UTF-8 with mark", bytesOf("\xEF\xBB\xBF" + utf8), CMarkupDocument::kEncodingUtf8, true},
        {"ANSI", bytesOf(utf8), CMarkupDocument::kEncodingAnsi, true},
        {"UTF-16LE", utf16(wide, false, true), CMarkupDocument::kEncodingUnicode, true},
        {"UTF-16BE", utf16(wide, true, true), CMarkupDocument::kEncodingUnicode, true},
        {"UTF-16 without mark", utf16(wide, false, false), CMarkupDocument::kEncodingUnicode, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CMarkupDocument doc;
        EXPECT_EQ(doc.LoadFromMem(c.bytes.data(), c.bytes.size(), c.encoding), c.ok);
        if (c.ok) {
            EXPECT_EQ(doc.GetRoot().GetAttributeValue(L"title"), L"\x786E\x5B9A");
        }
    }
    // Characters beyond the basic plane arrive whole from UTF-16 surrogate pairs.
    std::vector<uint8_t> pair = {0xFF, 0xFE, '<',  0,    'a',  0,    ' ', 0, 'v', 0, '=', 0,
                                 '"',  0,    0x3D, 0xD8, 0x00, 0xDE, '"', 0, '/', 0, '>', 0};
    CMarkupDocument doc;
    ASSERT_TRUE(doc.LoadFromMem(pair.data(), pair.size(), CMarkupDocument::kEncodingUnicode));
    EXPECT_EQ(doc.GetRoot().GetAttributeValue(L"v"), L"\U0001F600");
}

TEST(Markup, AFailedLoadEmptiesTheDocumentAndASuccessfulOneClearsTheError) {
    CMarkupDocument doc;
    ASSERT_TRUE(doc.LoadFromString(L"<Window/>"));
    EXPECT_FALSE(doc.LoadFromString(L"<Window><a></b></Window>"));
    EXPECT_FALSE(doc.GetRoot().IsValid());
    EXPECT_TRUE(doc.LoadFromString(L"<Other/>"));
    EXPECT_EQ(doc.GetRoot().GetName(), L"Other");
    EXPECT_EQ(doc.GetLastErrorMessage(), L"");
}

TEST(Markup, HostileInputNeverCrashes) {
    // Every prefix of a realistic layout, and nesting far deeper than any layout.
    const std::wstring layout =
        L"<?xml version=\"1.0\" encoding=\"utf-8\"?><!-- main --><Window size=\"640,400\" caption=\"0,0,0,40\">"
        L"<Font id=\"0\" name=\"x\" size=\"12\" default=\"true\"/><Default name=\"Button\" value=\"a=&quot;1&quot;\"/>"
        L"<VerticalLayout><Label text=\"a &amp; b\">text</Label><Include source=\"x.xml\" count=\"2\"/>"
        L"</VerticalLayout></Window>";
    for (size_t n = 0; n <= layout.size(); ++n) {
        CMarkupDocument doc;
        doc.LoadFromString(layout.substr(0, n));
    }
    std::wstring deep;
    for (int i = 0; i < 100000; ++i) deep += L"<a>";
    CMarkupDocument doc;
    EXPECT_FALSE(doc.LoadFromString(deep));
    EXPECT_EQ(doc.GetLastErrorMessage(), L"Elements nested too deeply");
}

}  // namespace
