#include "skinui/dialog_builder.h"

#include <algorithm>
#include <vector>

#include "common/log.h"
#include "skinui/attribute_values.h"
#include "skinui/container.h"
#include "skinui/control.h"
#include "skinui/control_factory.h"
#include "skinui/paint_manager.h"
#include "skinui/resource_module.h"

namespace SkinUI {

namespace {

struct TagClass {
    const wchar_t* tag;
    const wchar_t* className;
    bool exactCase = false;
};

// Layout tags and the control classes they create; letter case of the tag is ignored unless marked.
constexpr TagClass kTagClasses[] = {
    {L"Control", L"CControlUI"},
    {L"Container", L"CContainerUI"},
    {L"VerticalLayout", L"CVerticalLayoutUI"},
    {L"VBox", L"CVerticalLayoutUI"},
    {L"HorizontalLayout", L"CHorizontalLayoutUI"},
    {L"HBox", L"CHorizontalLayoutUI"},
    {L"TabLayout", L"CTabLayoutUI"},
    {L"TileLayout", L"CTileLayoutUI"},
    {L"ChildLayout", L"CChildLayoutUI"},
    {L"TransBkContainer", L"CTransBkContainerUI"},
    {L"Label", L"CLabelUI"},
    {L"Text", L"CTextUI"},
    {L"Button", L"CButtonUI"},
    {L"Option", L"COptionUI"},
    {L"CheckBox", L"CCheckBoxUI"},
    {L"Edit", L"CEditUI"},
    {L"RichEdit", L"CRichEditUI"},
    {L"Progress", L"CProgressUI"},
    {L"Slider", L"CSliderUI"},
    {L"ScrollBar", L"CScrollBarUI"},
    {L"Combo", L"CComboUI"},
    {L"ComboBox", L"CComboUI"},
    {L"DateTime", L"CDateTimeUI"},
    {L"List", L"CListUI"},
    {L"ListHeader", L"CListHeaderUI"},
    {L"ListHeaderItem", L"CListHeaderItemUI"},
    {L"ListTextElement", L"CListTextElementUI"},
    {L"ListLabelElement", L"CListLabelElementUI"},
    {L"ListHBoxElement", L"CListHBoxElementUI"},
    {L"ListContainerElement", L"CListContainerElementUI"},
    {L"Tree", L"CTreeViewUI"},
    {L"TreeView", L"CTreeViewUI"},
    {L"TreeNode", L"CTreeNodeUI"},
    {L"ActiveX", L"CActiveXUI"},
    {L"WebBrowser", L"CWebBrowserUI"},
    {L"GifAnim", L"CGifAnimUI", true},
};

// The value of the last attribute whose name matches ignoring letter case; empty when none does.
std::wstring attributeIgnoreCase(const CMarkupNode& node, std::wstring_view name, bool* found = nullptr) {
    std::wstring value;
    if (found) *found = false;
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
        if (!EqualsIgnoreCase(node.GetAttributeName(i), name)) continue;
        value = node.GetAttributeValue(i);
        if (found) *found = true;
    }
    return value;
}

bool isTag(const CMarkupNode& node, std::wstring_view tag) { return EqualsIgnoreCase(node.GetName(), tag); }

}  // namespace

CControlUI* CDialogBuilder::Create(const std::wstring& layout, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
    resourceType_.clear();
    bool isText = !layout.empty() && layout.front() == L'<';
    if (!isText) includeChain_.push_back(layout);
    bool loaded = isText ? markup_.LoadFromString(layout) : markup_.LoadFromFile(layout);
    if (!loaded) return nullptr;
    return build(callback, manager, parent);
}

CControlUI* CDialogBuilder::Create(unsigned resourceId, const std::wstring& resourceType,
                                   IDialogBuilderCallback* callback, CPaintManagerUI* manager, CControlUI* parent) {
    resourceType_ = resourceType;
    includeChain_.push_back(resourceType + L"/" + ResourceIdName(resourceId));
    if (!markup_.LoadFromResource(resourceId, resourceType)) return nullptr;
    return build(callback, manager, parent);
}

CControlUI* CDialogBuilder::build(IDialogBuilderCallback* callback, CPaintManagerUI* manager, CControlUI* parent) {
    callback_ = callback;
    failed_ = false;
    CMarkupNode root = markup_.GetRoot();
    if (!root.IsValid()) return nullptr;
    if (manager) {
        registerResources(root, manager);
        if (isTag(root, L"Window") && manager->GetPaintWindow()) {
            for (int i = 0; i < root.GetAttributeCount(); ++i) {
                manager->SetWindowAttribute(root.GetAttributeName(i), root.GetAttributeValue(i));
            }
        }
    }
    CControlUI* first = buildLevel(root, parent, manager);
    return failed_ ? nullptr : first;
}

void CDialogBuilder::registerResources(const CMarkupNode& root, CPaintManagerUI* manager) {
    for (CMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
        if (isTag(node, L"Image")) {
            std::wstring name = attributeIgnoreCase(node, L"name");
            if (name.empty()) continue;
            manager->AddImage(name, attributeIgnoreCase(node, L"restype"),
                              ParseColor(attributeIgnoreCase(node, L"mask")),
                              ParseBoolIgnoreCase(attributeIgnoreCase(node, L"shared")));
        } else if (isTag(node, L"Font")) {
            bool hasId = false, hasSize = false;
            std::wstring idText = attributeIgnoreCase(node, L"id", &hasId);
            std::wstring sizeText = attributeIgnoreCase(node, L"size", &hasSize);
            int id = hasId ? ParseInteger(idText) : -1;
            int size = hasSize ? ParseInteger(sizeText) : 12;
            std::wstring face = attributeIgnoreCase(node, L"name");
            bool bold = ParseBoolIgnoreCase(attributeIgnoreCase(node, L"bold"));
            bool underline = ParseBoolIgnoreCase(attributeIgnoreCase(node, L"underline"));
            bool italic = ParseBoolIgnoreCase(attributeIgnoreCase(node, L"italic"));
            bool isDefault = ParseBoolIgnoreCase(attributeIgnoreCase(node, L"default"));
            bool shared = ParseBoolIgnoreCase(attributeIgnoreCase(node, L"shared"));
            if (id < 0 || face.empty()) continue;
            manager->AddFont(id, face, size, bold, underline, italic, shared);
            if (isDefault) manager->SetDefaultFont(face, size, bold, underline, italic, shared);
        } else if (isTag(node, L"Default")) {
            std::wstring name = attributeIgnoreCase(node, L"name");
            if (name.empty()) continue;
            manager->AddDefaultAttributeList(name, attributeIgnoreCase(node, L"value"),
                                             ParseBoolIgnoreCase(attributeIgnoreCase(node, L"shared")));
        }
    }
}

CControlUI* CDialogBuilder::buildLevel(const CMarkupNode& level, CControlUI* parent, CPaintManagerUI* manager) {
    CControlUI* first = nullptr;
    for (CMarkupNode node = level.GetChild(); node.IsValid(); node = node.GetSibling()) {
        if (isTag(node, L"Image") || isTag(node, L"Font") || isTag(node, L"Default") || isTag(node, L"MultiLanguage")) {
            continue;
        }
        // Without a parent only the first control has an owner (the caller); later ones are not made.
        if (!parent && first) continue;
        if (isTag(node, L"Include")) {
            CControlUI* included = include(node, parent, manager);
            if (!parent && included) first = included;
            continue;
        }

        CControlUI* control = createControl(node.GetName());
        if (!control) continue;

        // Children are complete before this control is linked and before its own attributes apply.
        if (node.HasChildren()) {
            buildLevel(node, control, manager);
            if (failed_) {
                delete control;
                return nullptr;
            }
        }

        if (parent) {
            if (node.GetAttributeValue(L"cover") == L"true") {
                parent->SetCover(control);
            } else {
                auto* container = static_cast<IContainerUI*>(parent->GetInterface(L"IContainer"));
                if (!container) {
                    delete control;
                    failed_ = true;
                    return nullptr;
                }
                if (!container->Add(control)) {
                    delete control;
                    continue;
                }
            }
        }

        if (manager) {
            control->SetManager(manager, control->GetParent(), false);
            std::wstring defaults = manager->GetDefaultAttributeList(node.GetName());
            if (!defaults.empty()) control->ApplyAttributeList(defaults);
        }
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            control->SetAttribute(node.GetAttributeName(i), node.GetAttributeValue(i));
        }
        // Controls are attached for real, and initialised, when the window adopts the finished tree.
        if (manager) control->SetManager(nullptr, control->GetParent(), false);

        if (!first) first = control;
    }
    return first;
}

CControlUI* CDialogBuilder::include(const CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager) {
    int count = 1;
    std::wstring source;
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
        const std::wstring& name = node.GetAttributeName(i);
        if (name == L"count") count = ParseInteger(node.GetAttributeValue(i));
        if (name == L"source") source = node.GetAttributeValue(i).substr(0, kMaxIncludeSource);
    }
    if (source.empty() || count <= 0) return nullptr;

    std::wstring key =
        resourceType_.empty() ? source : resourceType_ + L"/" + ResourceIdName(unsigned(ParseInteger(source)));
    if (includeChain_.size() > size_t(kMaxIncludeDepth) ||
        std::find(includeChain_.begin(), includeChain_.end(), key) != includeChain_.end()) {
        NLOG(L"include of %s refused: it includes itself or nests too deep", source);
        return nullptr;
    }

    CControlUI* first = nullptr;
    for (int i = 0; i < count; ++i) {
        CDialogBuilder builder;
        builder.includeChain_ = includeChain_;
        CControlUI* made = resourceType_.empty() ? builder.Create(source, callback_, manager, parent)
                                                 : builder.Create(unsigned(ParseInteger(source)), resourceType_,
                                                                  callback_, manager, parent);
        if (parent || !made) continue;
        if (first) {
            delete made;  // nothing would own it
        } else {
            first = made;
        }
    }
    return first;
}

CControlUI* CDialogBuilder::createControl(const std::wstring& tag) {
    for (const TagClass& entry : kTagClasses) {
        bool match = entry.exactCase ? tag == entry.tag : EqualsIgnoreCase(tag, entry.tag);
        if (!match) continue;
        if (CControlUI* control = CControlFactory::Instance().Create(entry.className)) return control;
        break;  // a class not registered yet: the callback may still know the tag
    }
    return callback_ ? callback_->CreateControl(tag) : nullptr;
}

}  // namespace SkinUI
