#pragma once
// The registry of control classes by class name ("CButtonUI"), through which layouts create controls.
// A control class becomes available to every layout by registering here; the layout builder itself never
// names a class.
#include <functional>
#include <map>
#include <string>

namespace SkinUI {

class CControlUI;

class CControlFactory {
public:
    using Creator = std::function<CControlUI*()>;

    // The process-wide registry, holding the toolkit's standard classes from the first call on.
    static CControlFactory& Instance();

    // Registers (or replaces) a class; returns the creator it replaced, if any. UI thread.
    Creator Register(const std::wstring& className, Creator creator);
    // Removes a class; returns its creator.
    Creator Unregister(const std::wstring& className);
    // A new control of that class, owned by the caller; null for a class nobody registered.
    CControlUI* Create(const std::wstring& className) const;
    bool IsRegistered(const std::wstring& className) const;

private:
    CControlFactory();

    std::map<std::wstring, Creator> creators_;
};

}  // namespace SkinUI
