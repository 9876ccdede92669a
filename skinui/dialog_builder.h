#pragma once
// CDialogBuilder turns a layout (XML) into a tree of controls: it registers the layout's images, fonts
// and default attribute lists with the window's paint manager, applies the root "Window" attributes to
// the window, creates one control per element through the control registry (CControlFactory) and links
// them into their parents. One builder builds one layout. UI thread.
#include <string>
#include <vector>

#include "skinui/markup.h"

namespace SkinUI {

class CControlUI;
class CPaintManagerUI;

// Creates controls for tags the tag table does not know.
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    // A new control for the tag `className`, owned by the caller, or null.
    virtual CControlUI* CreateControl(const std::wstring& className) = 0;
};

class CDialogBuilder {
public:
    // Includes nest at most this deep; deeper ones are ignored.
    static constexpr int kMaxIncludeDepth = 16;
    static constexpr size_t kMaxIncludeSource = 499;

    CDialogBuilder() = default;
    CDialogBuilder(const CDialogBuilder&) = delete;
    CDialogBuilder& operator=(const CDialogBuilder&) = delete;

    // `layout` is the XML text itself when it starts with "<", otherwise a skin file name. Returns the
    // first control created at the top level (owned by `parent` when given, else by the caller), or null
    // when the layout cannot be loaded or parsed (see GetMarkup() for the error) or cannot be built.
    CControlUI* Create(const std::wstring& layout, IDialogBuilderCallback* callback = nullptr,
                       CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
    // The layout is the resource `resourceId` of `resourceType` in the resource module (UTF-8). Includes
    // inside it name resource ids of the same type.
    CControlUI* Create(unsigned resourceId, const std::wstring& resourceType,
                       IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
                       CControlUI* parent = nullptr);

    const CMarkupDocument& GetMarkup() const { return markup_; }

private:
    CControlUI* build(IDialogBuilderCallback* callback, CPaintManagerUI* manager, CControlUI* parent);
    void registerResources(const CMarkupNode& root, CPaintManagerUI* manager);
    CControlUI* buildLevel(const CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager);
    CControlUI* include(const CMarkupNode& node, CControlUI* parent, CPaintManagerUI* manager);
    CControlUI* createControl(const std::wstring& tag);

    CMarkupDocument markup_;
    std::wstring resourceType_;  // empty for files and text
    IDialogBuilderCallback* callback_ = nullptr;
    // Layouts being built, outermost first: an "Include" of one of them is refused, so a layout cannot
    // include itself.
    std::vector<std::wstring> includeChain_;
    bool failed_ = false;  // a parent could not take its children: the whole build fails
};

}  // namespace SkinUI
