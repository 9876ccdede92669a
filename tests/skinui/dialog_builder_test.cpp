#include "skinui/dialog_builder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "skin_test_support.h"
#include "skinui/container.h"
#include "skinui/control.h"
#include "skinui/control_factory.h"
#include "skinui/paint_manager.h"
#include "skinui/resource_module.h"
#include "support/test_env.h"
#include "utility/text_codec.h"

using namespace SkinUI;
using namespace skin_test;

namespace {

// What the probe controls saw, in order, and how many of them are alive.
struct Journal {
    std::vector<std::string> lines;
    int alive = 0;
    int created = 0;
};
Journal journal;

std::string narrow(const std::wstring& w) { return utility::wideToUtf8(w); }

class Probe {
public:
    Probe() : Probe("#" + std::to_string(++journal.created)) {}
    explicit Probe(std::string id) : id_(std::move(id)) {
        journal.lines.push_back("create " + id_);
        ++journal.alive;
    }
    virtual ~Probe() { --journal.alive; }
    const std::string& id() const { return id_; }

protected:
    void record(const CControlUI* self, const std::wstring& name, const std::wstring& value) {
        journal.lines.push_back("attr " + id_ + " " + narrow(name) + "=" + narrow(value) +
                                (self->GetManager() ? " attached" : ""));
    }

private:
    std::string id_;
};

std::string idOf(CControlUI* control) {
    auto* probe = dynamic_cast<Probe*>(control);
    return probe ? probe->id() : "?";
}

class ProbeControl : public CControlUI, public Probe {
public:
    void SetAttribute(const std::wstring& name, const std::wstring& value) override {
        record(this, name, value);
        CControlUI::SetAttribute(name, value);
    }
};

class ProbeBox : public CContainerUI, public Probe {
public:
    ProbeBox() = default;
    explicit ProbeBox(std::string id) : Probe(std::move(id)) {}
    void SetAttribute(const std::wstring& name, const std::wstring& value) override {
        record(this, name, value);
        CContainerUI::SetAttribute(name, value);
    }
    bool AddAt(CControlUI* control, int index) override {
        journal.lines.push_back("add " + id() + "<-" + idOf(control));
        return CContainerUI::AddAt(control, index);
    }
};

// Makes probes for the tags "Probe" and "ProbeBox" and remembers every tag it was asked for.
class ProbeCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const std::wstring& tag) override {
        asked.push_back(narrow(tag));
        if (tag == L"Probe") return new ProbeControl();
        if (tag == L"ProbeBox") return new ProbeBox();
        return nullptr;
    }
    std::vector<std::string> asked;
};

// Registers a class for the life of the object, then puts back what was there.
class ScopedClass {
public:
    ScopedClass(std::wstring name, CControlFactory::Creator creator) : name_(std::move(name)) {
        old_ = CControlFactory::Instance().Register(name_, std::move(creator));
    }
    ~ScopedClass() {
        if (old_) {
            CControlFactory::Instance().Register(name_, old_);
        } else {
            CControlFactory::Instance().Unregister(name_);
        }
    }

private:
    std::wstring name_;
    CControlFactory::Creator old_;
};

platform::Window* fakeWindow() {
    static char window;  // never dereferenced: only "the manager has its window" matters here
    return reinterpret_cast<platform::Window*>(&window);
}

std::vector<std::string> childNames(CControlUI* control) {
    std::vector<std::string> names;
    auto* container = static_cast<IContainerUI*>(control->GetInterface(L"IContainer"));
    for (int i = 0; container && i < container->GetCount(); ++i)
        names.push_back(narrow(container->GetItemAt(i)->GetName()));
    return names;
}

class DialogBuilder : public CleanSkinState {
protected:
    void SetUp() override {
        CleanSkinState::SetUp();
        root_ = new ProbeBox("root");
        journal = Journal();  // the root is not part of what the tests look at
        journal.alive = 1;
    }
    void TearDown() override {
        delete root_;
        EXPECT_EQ(journal.alive, 0) << "controls leaked or deleted twice";
        CleanSkinState::TearDown();
    }

    // A skin folder in a temporary directory holding `files`.
    void skinFiles(const std::vector<std::pair<std::string, std::string>>& files) {
        for (const auto& [name, content] : files) testing_support::writeFile(skinDir_.file(name), content);
        CPaintManagerUI::SetResourcePath(utility::utf8ToWide(skinDir_.path()));
    }

    CControlUI* build(const std::wstring& layout, CPaintManagerUI* manager) {
        CDialogBuilder builder;
        CControlUI* result = builder.Create(layout, &callback_, manager, root_);
        lastError_ = builder.GetMarkup().GetLastErrorMessage();
        return result;
    }

    ProbeBox* root_ = nullptr;
    ProbeCallback callback_;
    CPaintManagerUI manager_;
    testing_support::TempDir skinDir_;
    std::wstring lastError_;
};

TEST_F(DialogBuilder, ChildrenAreCompleteBeforeTheirParentIsLinkedOrAttributed) {
    CControlUI* first = build(
        L"<Window><ProbeBox name=\"outer\" k=\"1\"><ProbeBox name=\"mid\"><Probe name=\"leaf\"/></ProbeBox>"
        L"<Probe name=\"second\"/></ProbeBox></Window>",
        &manager_);
    EXPECT_EQ(idOf(first), "#1");
    EXPECT_EQ(journal.lines, (std::vector<std::string>{"create #1", "create #2", "create #3",  // outer, mid, leaf
                                                       "add #2<-#3", "attr #3 name=leaf attached", "add #1<-#2",
                                                       "attr #2 name=mid attached", "create #4", "add #1<-#4",
                                                       "attr #4 name=second attached", "add root<-#1",
                                                       "attr #1 name=outer attached", "attr #1 k=1 attached"}));
    // Detached again: the window attaches the finished tree itself.
    EXPECT_EQ(first->GetManager(), nullptr);
    EXPECT_EQ(first->GetParent(), root_);
    EXPECT_EQ(childNames(first), (std::vector<std::string>{"mid", "second"}));
}

TEST_F(DialogBuilder, DefaultListsApplyToTheExactTagSpellingBeforeTheElementsOwnAttributes) {
    ScopedClass vertical(L"CVerticalLayoutUI", [] { return new ProbeBox(); });
    build(
        L"<Window><Default name=\"VerticalLayout\" value=\"bk=&quot;#FF000000&quot; text=&quot;default&quot;\"/>"
        L"<VerticalLayout name=\"exact\" text=\"own\"/><verticallayout name=\"lower\"/><VBox name=\"alias\"/>"
        L"</Window>",
        &manager_);
    EXPECT_EQ(childNames(root_), (std::vector<std::string>{"exact", "lower", "alias"}));
    std::vector<std::string> attributes;
    for (const std::string& line : journal.lines) {
        if (line.rfind("attr", 0) == 0) attributes.push_back(line);
    }
    EXPECT_EQ(attributes, (std::vector<std::string>{"attr #1 bk=#FF000000 attached", "attr #1 text=default attached",
                                                    "attr #1 name=exact attached",
                                                    "attr #1 text=own attached",  // the element's value last
                                                    "attr #2 name=lower attached", "attr #3 name=alias attached"}));
    EXPECT_TRUE(callback_.asked.empty());  // all three spellings found the registered class
}

TEST_F(DialogBuilder, OwnDefaultListsComeBeforeSharedOnesAndSharedOnesReachOtherWindows) {
    build(L"<Window><Default name=\"Probe\" value=\"from=&quot;shared&quot;\" shared=\"TRUE\"/></Window>", &manager_);
    CPaintManagerUI other;
    build(L"<Window><Probe name=\"a\"/></Window>", &other);
    build(L"<Window><Default name=\"Probe\" value=\"from=&quot;own&quot;\"/><Probe name=\"b\"/></Window>", &manager_);
    build(L"<Window><Probe name=\"c\"/></Window>", nullptr);  // no manager: no lists at all
    std::vector<std::string> attributes;
    for (const std::string& line : journal.lines) {
        if (line.rfind("attr", 0) == 0) attributes.push_back(line);
    }
    EXPECT_EQ(attributes,
              (std::vector<std::string>{"attr #1 from=shared attached", "attr #1 name=a attached",
                                        "attr #2 from=own attached", "attr #2 name=b attached", "attr #3 name=c"}));
}

TEST_F(DialogBuilder, IncludeBuildsItsSourceCountTimesIntoTheCurrentParent) {
    skinFiles(
        {{"scrollbar.xml",
          "<Window><Default name=\"VScrollBar\" value=\"a=&quot;1&quot;\"/><Probe name=\"included\"/></Window>"}});
    struct Case {
        const char* what;
        std::wstring include;
        size_t children;
    } cases[] = {
        {"count 2", L"<Include source=\"scrollbar.xml\" count=\"2\"/>", 2},
        {"count 0", L"<Include source=\"scrollbar.xml\" count=\"0\"/>", 0},
        {"negative count", L"<Include source=\"scrollbar.xml\" count=\"-1\"/>", 0},
        {"no count", L"<Include source=\"scrollbar.xml\"/>", 1},
        {"no source", L"<Include count=\"3\"/>", 0},
        {"names match exactly", L"<Include SOURCE=\"scrollbar.xml\" Count=\"2\"/>", 0},
        {"tag in any letter case", L"<INCLUDE source=\"scrollbar.xml\"/>", 1},
        {"missing file", L"<Include source=\"missing.xml\" count=\"2\"/>", 0},
        {"backslash name", L"<Include source=\".\\scrollbar.xml\"/>", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPaintManagerUI manager;
        CControlUI* box = build(L"<Window><ProbeBox name=\"box\">" + c.include + L"</ProbeBox></Window>", &manager);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(childNames(box), std::vector<std::string>(c.children, "included"));
        EXPECT_EQ(manager.GetDefaultAttributeList(L"VScrollBar"), c.children ? L"a=\"1\"" : L"");
        root_->RemoveAll();
    }
}

TEST_F(DialogBuilder, LayoutsThatIncludeThemselvesStop) {
    skinFiles({{"self.xml", "<Window><Probe name=\"self\"/><Include source=\"self.xml\" count=\"2\"/></Window>"},
               {"a.xml", "<Window><Probe name=\"a\"/><Include source=\"b.xml\"/></Window>"},
               {"b.xml", "<Window><Probe name=\"b\"/><Include source=\"a.xml\"/></Window>"}});
    build(L"self.xml", &manager_);
    EXPECT_EQ(childNames(root_), (std::vector<std::string>{"self"}));
    root_->RemoveAll();
    build(L"a.xml", &manager_);
    EXPECT_EQ(childNames(root_), (std::vector<std::string>{"a", "b"}));
}

TEST_F(DialogBuilder, CoverControlsAreNotChildren) {
    CControlUI* box = build(
        L"<Window><ProbeBox name=\"box\"><Probe name=\"c1\" cover=\"true\"/>"
        L"<Probe name=\"c2\" cover=\"true\"/><Probe name=\"child\"/>"
        L"<Probe name=\"not a cover\" cover=\"True\"/></ProbeBox></Window>",
        &manager_);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->GetCover(), nullptr);
    EXPECT_EQ(box->GetCover()->GetName(), L"c2");
    EXPECT_EQ(box->GetCover()->GetParent(), box);
    EXPECT_EQ(childNames(box), (std::vector<std::string>{"child", "not a cover"}));
    EXPECT_EQ(journal.alive, 5);  // root, box, c2, child, "not a cover": the first cover was deleted
}

TEST_F(DialogBuilder, AParentThatCannotHoldChildrenFailsTheWholeBuild) {
    EXPECT_EQ(build(L"<Window><ProbeBox name=\"box\"><Probe name=\"leaf\"><Probe name=\"inner\"/></Probe>"
                    L"</ProbeBox></Window>",
                    &manager_),
              nullptr);
    EXPECT_EQ(root_->GetCount(), 0);
    EXPECT_EQ(journal.alive, 1);  // only the root: everything built on the way is gone

    ProbeControl notAContainer;
    CDialogBuilder builder;
    EXPECT_EQ(builder.Create(L"<Window><Probe name=\"x\"/></Window>", &callback_, &manager_, &notAContainer), nullptr);
}

TEST_F(DialogBuilder, ControlsComeFromTheRegistryByTagElseFromTheCallback) {
    ScopedClass gif(L"CGifAnimUI", [] { return new ProbeControl(); });
    CControlUI* box = build(
        L"<Window><ProbeBox name=\"box\">"
        L"<control name=\"control\"/><CONTAINER name=\"container\"/>"
        L"<GifAnim name=\"gif\"/><gifanim name=\"gif lower\"/>"
        L"<ActiveX name=\"unregistered class\"/>"
        L"<Unknown name=\"unknown\"><Probe name=\"hidden\"/></Unknown>"
        L"<Probe name=\"shown\"/></ProbeBox></Window>",
        &manager_);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(childNames(box), (std::vector<std::string>{"control", "container", "gif", "shown"}));
    auto* items = static_cast<IContainerUI*>(box->GetInterface(L"IContainer"));
    EXPECT_EQ(items->GetItemAt(0)->GetClass(), L"Control");
    EXPECT_EQ(items->GetItemAt(1)->GetClass(), L"Container");
    // Tags the registry cannot serve go to the callback; a refused tag takes its children with it.
    EXPECT_EQ(callback_.asked, (std::vector<std::string>{"ProbeBox", "gifanim", "ActiveX", "Unknown", "Probe"}));
}

TEST_F(DialogBuilder, WithoutAParentOnlyTheFirstTopLevelControlIsMade) {
    skinFiles({{"one.xml", "<Window><Probe name=\"included\"/></Window>"}});
    CDialogBuilder builder;
    CControlUI* first = builder.Create(L"<Window><Probe name=\"a\"/><Probe name=\"b\"/></Window>", &callback_);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetName(), L"a");
    EXPECT_EQ(callback_.asked.size(), 1u);
    delete first;

    CDialogBuilder includer;
    CControlUI* included = includer.Create(L"<Window><Include source=\"one.xml\" count=\"3\"/></Window>", &callback_);
    ASSERT_NE(included, nullptr);
    EXPECT_EQ(included->GetName(), L"included");
    delete included;
}

TEST_F(DialogBuilder, ResourceElementsRegisterWithTheManager) {
    const std::wstring resources =
        L"<Image name=\"scroll.bmp\" mask=\"#FFFF00FF\" shared=\"TRUE\"/><IMAGE NAME=\"own.png\" mask=\"0xff00ff00\"/>"
        L"<Image restype=\"x\"/>"
        L"<Font id=\"0\" name=\"Face\" size=\"16\" bold=\"True\" default=\"true\"/><font ID=\"1\" Name=\"Face2\"/>"
        L"<Font id=\"-1\" name=\"negative\"/><Font id=\"3\"/><Font name=\"no id\"/>"
        L"<default NAME=\"Probe\" VALUE=\"x=&quot;1&quot;\"/>";
    build(L"<Dialog>" + resources + L"</Dialog>", &manager_);  // any root carries resources

    ASSERT_NE(manager_.GetImage(L"scroll.bmp"), nullptr);
    EXPECT_EQ(manager_.GetImage(L"scroll.bmp")->mask, 0xFFFF00FFu);
    ASSERT_NE(manager_.GetImage(L"own.png"), nullptr);
    EXPECT_EQ(manager_.GetImage(L"own.png")->mask, 0xFF00FF00u);
    CPaintManagerUI other;
    EXPECT_NE(other.GetImage(L"scroll.bmp"), nullptr);  // shared
    EXPECT_EQ(other.GetImage(L"own.png"), nullptr);

    ASSERT_NE(manager_.GetFont(0), nullptr);
    EXPECT_EQ(*manager_.GetFont(0), (TFontInfo{L"Face", 16, true, false, false}));
    ASSERT_NE(manager_.GetFont(1), nullptr);
    EXPECT_EQ(*manager_.GetFont(1), (TFontInfo{L"Face2", 12, false, false, false}));
    EXPECT_EQ(manager_.GetFont(3), nullptr);
    EXPECT_EQ(manager_.GetFont(-1), nullptr);
    EXPECT_EQ(manager_.GetDefaultFontInfo(), (TFontInfo{L"Face", 16, true, false, false}));
    EXPECT_EQ(manager_.GetDefaultAttributeList(L"Probe"), L"x=\"1\"");
    EXPECT_EQ(manager_.GetInitSize(), (SkinSize{0, 0}));
}

TEST_F(DialogBuilder, WindowAttributesNeedAWindowRootAndAWindow) {
    const std::wstring layout =
        L"<Window size=\"640,400\" CAPTION=\"0,0,220,180\" mininfo=\"600,400\" roundcorner=\"4,4\" opacity=\"300\" "
        L"NoActivate=\"true\" layeredimage=\"file='shadow.png'\" custom=\"v\" defaultfontcolor=\"#FF112233\"/>";
    build(layout, &manager_);
    EXPECT_EQ(manager_.GetInitSize(), (SkinSize{0, 0}));  // no window yet

    manager_.Init(fakeWindow());
    build(layout, &manager_);
    EXPECT_EQ(manager_.GetInitSize(), (SkinSize{640, 400}));
    EXPECT_EQ(manager_.GetCaptionRect(), (SkinRect{0, 0, 220, 180}));
    EXPECT_EQ(manager_.GetMinInfo(), (SkinSize{600, 400}));
    EXPECT_EQ(manager_.GetRoundCorner(), (SkinSize{4, 4}));
    EXPECT_EQ(manager_.GetOpacity(), 255);
    EXPECT_FALSE(manager_.IsNoActivate());  // that name matches in its own letter case only
    EXPECT_EQ(manager_.GetWindowCustomAttribute(L"NoActivate"), L"true");
    EXPECT_TRUE(manager_.IsLayered());
    EXPECT_EQ(manager_.GetLayeredImage(), L"file='shadow.png'");
    EXPECT_EQ(manager_.GetWindowCustomAttribute(L"custom"), L"v");
    EXPECT_EQ(manager_.GetDefaultFontColor(), 0xFF112233u);

    CPaintManagerUI dialog;
    dialog.Init(fakeWindow());
    build(L"<Dialog size=\"640,400\"/>", &dialog);
    EXPECT_EQ(dialog.GetInitSize(), (SkinSize{0, 0}));
}

TEST_F(DialogBuilder, LayoutSourcesAndTheirErrors) {
    skinFiles({{"page.xml", "<Window><Probe name=\"from file\"/></Window>"},
               {"broken.xml", "<Window><Probe name='single'/></Window>"}});
    std::string resource100 =
        "<Window><Probe name=\"from resource 100\"/><Include source=\"101\" count=\"2\"/></Window>";
    std::string resource101 = "<Window><Probe name=\"from resource\"/></Window>";
    CResourceModule module(L"/nowhere/installer");
    module.AddResource(L"XML", ResourceIdName(100),
                       std::span(reinterpret_cast<const uint8_t*>(resource100.data()), resource100.size()));
    module.AddResource(L"XML", ResourceIdName(101),
                       std::span(reinterpret_cast<const uint8_t*>(resource101.data()), resource101.size()));
    CPaintManagerUI::SetInstance(&module);

    EXPECT_NE(build(L"page.xml", &manager_), nullptr);
    EXPECT_NE(build(L"<Window><Probe name=\"from text\"/></Window>", &manager_), nullptr);
    CDialogBuilder fromResource;
    EXPECT_NE(fromResource.Create(100, L"XML", &callback_, &manager_, root_), nullptr);
    EXPECT_EQ(childNames(root_), (std::vector<std::string>{"from file", "from text", "from resource 100",
                                                           "from resource", "from resource"}));

    EXPECT_EQ(build(L"missing.xml", &manager_), nullptr);
    EXPECT_EQ(lastError_, L"Could not open file");
    EXPECT_EQ(build(L"broken.xml", &manager_), nullptr);
    EXPECT_EQ(lastError_, L"Expected attribute value");
    EXPECT_EQ(build(L"<Window/>", &manager_), nullptr);  // nothing to build
    CDialogBuilder missingResource;
    EXPECT_EQ(missingResource.Create(102, L"XML", &callback_, &manager_, root_), nullptr);
    EXPECT_EQ(missingResource.GetMarkup().GetLastErrorMessage(), L"Could not find resource");
}

TEST(ControlBase, AttributeListSyntax) {
    struct Case {
        std::wstring list;
        std::vector<std::string> applied;
    } cases[] = {
        {L"a=\"1\" b=\"2\"", {"a=1", "b=2"}},
        {L"a=\"x y\" b=\"\"", {"a=x y", "b="}},
        {L"a=\"1\"  b=\"2\"", {"a=1", " b=2"}},  // the second space starts the next name
        {L"a=\"1\"b=\"2\"", {"a=1"}},            // no space: the list ends
        {L"a=\"1\" ", {"a=1"}},
        {L"a=1 b=\"2\"", {}},
        {L"a=\"1", {}},
        {L"a", {}},
        {L"=\"v\"", {"=v"}},
        {L"", {}},
    };
    for (const Case& c : cases) {
        journal = Journal();
        ProbeControl control;
        journal.lines.clear();
        control.ApplyAttributeList(c.list);
        std::vector<std::string> applied;
        for (const std::string& line : journal.lines) applied.push_back(line.substr(std::string("attr #1 ").size()));
        EXPECT_EQ(applied, c.applied) << narrow(c.list);
    }
}

TEST(ControlBase, NameAndCustomAttributes) {
    CControlUI control;
    control.SetAttribute(L"name", L"okbtn");
    control.SetAttribute(L"hint", L"first");
    control.SetAttribute(L"hint", L"second");
    control.SetAttribute(L"empty", L"");
    EXPECT_EQ(control.GetName(), L"okbtn");
    EXPECT_EQ(control.GetCustomAttribute(L"hint"), L"first");  // an existing entry keeps its value
    EXPECT_EQ(control.GetCustomAttribute(L"empty"), L"");
    EXPECT_FALSE(control.RemoveCustomAttribute(L"empty"));
    EXPECT_TRUE(control.RemoveCustomAttribute(L"hint"));
}

TEST(ControlBase, ContainerOwnsEachChildOnce) {
    journal = Journal();
    {
        CContainerUI box;
        auto* a = new ProbeControl();
        auto* b = new ProbeControl();
        EXPECT_TRUE(box.Add(a));
        EXPECT_FALSE(box.Add(a));  // a second add would delete it twice
        EXPECT_FALSE(box.AddAt(b, 5));
        EXPECT_TRUE(box.AddAt(b, 0));
        EXPECT_EQ(box.GetItemAt(0), b);
        EXPECT_EQ(a->GetParent(), &box);
        EXPECT_TRUE(box.Remove(b, true));  // kept: the caller owns it again
        EXPECT_EQ(b->GetParent(), nullptr);
        delete b;
        EXPECT_FALSE(box.Remove(b));
        EXPECT_EQ(box.GetCount(), 1);
    }
    EXPECT_EQ(journal.alive, 0);
}

}  // namespace
