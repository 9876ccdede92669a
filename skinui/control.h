#pragma once
// CControlUI: the base of every control of a skinned window.
//
// So far it holds what layouts need to build a tree: name, attributes (through the virtual SetAttribute,
// so each control class adds its own), the parent link, the paint manager and the cover control. The
// geometry, flags, painting and events of the control model build on it.
#include <map>
#include <string>
#include <string_view>

namespace SkinUI {

class CPaintManagerUI;

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual std::wstring GetName() const { return name_; }
    virtual void SetName(const std::wstring& name) { name_ = name; }
    // Short class name ("Control", "Container", "VerticalLayout", ...).
    virtual std::wstring_view GetClass() const { return L"Control"; }
    // "Control" gives this control; container classes answer "IContainer" with their IContainerUI.
    virtual void* GetInterface(std::wstring_view name);

    virtual CPaintManagerUI* GetManager() const { return manager_; }
    // Attaches the control to `manager` under `parent` (both may be null). `init` asks for the
    // initialisation that comes with attaching a finished tree to its window.
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init);
    virtual CControlUI* GetParent() const { return parent_; }

    // The control painted over this one; owned. A previous cover is deleted.
    virtual void SetCover(CControlUI* cover);
    CControlUI* GetCover() const { return cover_; }

    // One attribute of a layout element. Each class handles its own names and passes the rest on to its
    // base; names nobody knows end here as custom attributes.
    virtual void SetAttribute(const std::wstring& name, const std::wstring& value);
    // A list of name="value" items separated by single spaces, each passed to SetAttribute. Anything
    // else ends the list silently.
    virtual void ApplyAttributeList(std::wstring_view list);

    // An empty name or value is not stored; an existing entry keeps its value.
    void AddCustomAttribute(const std::wstring& name, const std::wstring& value);
    // Empty when absent.
    std::wstring GetCustomAttribute(const std::wstring& name) const;
    bool RemoveCustomAttribute(const std::wstring& name);

private:
    std::wstring name_;
    CPaintManagerUI* manager_ = nullptr;
    CControlUI* parent_ = nullptr;
    CControlUI* cover_ = nullptr;
    std::map<std::wstring, std::wstring> customAttributes_;
};

}  // namespace SkinUI
