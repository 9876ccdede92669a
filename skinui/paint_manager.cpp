// [tree] of CPaintManagerUI: the window, the control tree and its name table, updates, delayed cleanup,
// option groups and the process-wide manager list.
#include <algorithm>

#include "skinui/container.h"
#include "skinui/control.h"
#include "skinui/paint_manager.h"

namespace SkinUI {

namespace {

std::vector<CPaintManagerUI*>& managers() {
    static std::vector<CPaintManagerUI*> list;
    return list;
}

// Registers every named control; returns null so that the walk visits the whole tree. A control visited
// later replaces an earlier one of the same name.
CControlUI* registerName(CControlUI* control, void* data) {
    auto* names = static_cast<std::unordered_map<std::wstring, CControlUI*>*>(data);
    std::wstring name = control->GetName();
    if (!name.empty()) (*names)[name] = control;
    return nullptr;
}

CControlUI* collect(CControlUI* control, void* data) {
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

CControlUI* findByName(CControlUI* control, void* data) {
    return control->GetName() == *static_cast<const std::wstring*>(data) ? control : nullptr;
}

CControlUI* findAtPoint(CControlUI* control, void*) { return control; }

template <typename T>
bool addOnce(std::vector<T*>& list, T* item) {
    if (!item || std::find(list.begin(), list.end(), item) != list.end()) return false;
    list.push_back(item);
    return true;
}

template <typename T>
bool removeFrom(std::vector<T*>& list, T* item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() = default;

CPaintManagerUI::~CPaintManagerUI() {
    RemoveAllTimers();
    deleteTree();
    removeFrom(managers(), this);
}

void CPaintManagerUI::deleteTree() {
    focus_ = eventHover_ = eventClick_ = eventKey_ = nullptr;
    asyncNotify_.clear();
    delivering_.clear();
    std::vector<CControlUI*> cleanup;
    cleanup.swap(delayedCleanup_);
    for (CControlUI* control : cleanup) delete control;
    CControlUI* root = root_;
    root_ = nullptr;
    delete root;
    names_.clear();
}

void CPaintManagerUI::Init(platform::Window* window) {
    window_ = window;
    asyncPosted_ = false;
    if (window) {
        addOnce(managers(), this);
    } else {
        removeFrom(managers(), this);
    }
}

const std::vector<CPaintManagerUI*>& CPaintManagerUI::GetPaintManagers() { return managers(); }

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
    if (!root) return false;
    SetFocus(nullptr);
    eventHover_ = eventClick_ = eventKey_ = nullptr;
    if (root_) deleteTree();
    root_ = root;
    updateNeeded_ = true;
    firstLayout_ = true;
    InitControls(root, nullptr);
    return true;
}

void CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
    if (!control) return;
    control->SetManager(this, parent ? parent : control->GetParent(), true);
    control->FindControl(registerName, &names_, UIFIND_ALL);
}

CControlUI* CPaintManagerUI::FindControl(const std::wstring& name) const {
    auto it = names_.find(name);
    return it == names_.end() ? nullptr : it->second;
}

CControlUI* CPaintManagerUI::FindControl(platform::Point point) const {
    if (!root_) return nullptr;
    return root_->FindControl(findAtPoint, &point, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, const std::wstring& name) const {
    if (!parent) return nullptr;
    return parent->FindControl(findByName, const_cast<std::wstring*>(&name), UIFIND_ME_FIRST);
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
    if (!control) return;
    if (control == focus_) focus_ = nullptr;
    if (control == eventHover_) eventHover_ = nullptr;
    if (control == eventClick_) eventClick_ = nullptr;
    if (control == eventKey_) eventKey_ = nullptr;
    KillTimer(control);
    for (auto it = names_.begin(); it != names_.end();) {
        it = it->second == control ? names_.erase(it) : std::next(it);
    }
    auto fromIt = [control](const TNotifyMsg& msg) { return msg.pSender == control; };
    std::erase_if(asyncNotify_, fromIt);
    std::erase_if(delivering_, fromIt);
    for (auto& [group, members] : optionGroups_) std::erase(members, control);
    std::erase(delayedCleanup_, control);
}

void CPaintManagerUI::ForgetControlTree(CControlUI* control) {
    if (!control) return;
    std::vector<CControlUI*> all;
    control->FindControl(collect, &all, UIFIND_ALL);
    for (CControlUI* c : all) ReapObjects(c);
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* control) {
    if (!control) return;
    control->SetManager(this, nullptr, false);
    addOnce(delayedCleanup_, control);
    postAsyncNotify();
}

void CPaintManagerUI::Invalidate() {
    if (window_) window_->invalidate();
}

void CPaintManagerUI::Invalidate(const SkinRect& rect) {
    if (window_) window_->invalidate(ToPlatformRect(rect));
}

bool CPaintManagerUI::AddOptionGroup(const std::wstring& group, CControlUI* control) {
    return addOnce(optionGroups_[group], control);
}

const std::vector<CControlUI*>* CPaintManagerUI::GetOptionGroup(const std::wstring& group) const {
    auto it = optionGroups_.find(group);
    return it == optionGroups_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::RemoveOptionGroup(const std::wstring& group, CControlUI* control) {
    auto it = optionGroups_.find(group);
    if (it == optionGroups_.end()) return;
    std::erase(it->second, control);
    if (it->second.empty()) optionGroups_.erase(it);
}

void CPaintManagerUI::SetLayered(bool layered) {
    if (!window_) return;
    layered_ = layered;
    window_->setTranslucent(layered);
    if (root_) root_->NeedUpdate();
    Invalidate();
}

void CPaintManagerUI::SetOpacity(int opacity) {
    opacity_ = std::clamp(opacity, 0, 255);
    if (window_) window_->setOpacity(uint8_t(opacity_));
}

}  // namespace SkinUI
