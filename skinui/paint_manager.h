#pragma once
// CPaintManagerUI: one per skinned window, plus the toolkit's process-wide state.
//
// Per window it owns the control tree and its name table, turns the window's messages into control
// events, keeps the keyboard focus and the hover and click targets, runs control timers, and delivers
// notifications to the window's notifiers, synchronously or through a coalescing queue.
//
// Sections (each implemented in its own source file):
//   [skin resources]    process-wide: module instance, resource path, UI language, the unpacked skin archive
//                       and the one lookup for skin files (skin_resources.cpp)
//   [window resources]  per window: images, fonts and default attribute lists that layouts register, with
//                       process-wide shared tables (paint_manager_resources.cpp)
//   [window attributes] the root "Window" attributes of a layout (paint_manager_attributes.cpp)
//   [tree]              the window, the control tree, the name table, updates, delayed cleanup and the
//                       process-wide manager list (paint_manager.cpp)
//   [events]            message handling, focus, capture, hover, filters, the message loop
//                       (paint_manager_events.cpp)
//   [timers]            control timers (paint_manager_timers.cpp)
//   [notifications]     notifiers and the asynchronous notification queue (paint_manager_notify.cpp)
//   [paint]             the layout and paint pass (paint_manager_paint.cpp)
//
// Everything here runs on the UI thread.
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/window.h"
#include "skinui/attribute_values.h"
#include "skinui/render_image.h"
#include "skinui/ui_events.h"

namespace SkinUI {

class CControlUI;
class CResourceModule;

// An image a layout registered. Decoding happens where images are drawn.
struct TImageInfo {
    std::wstring name;
    std::wstring resType;  // empty: a skin file; otherwise a resource type of the resource module
    uint32_t mask = 0;     // colour made transparent, 0 for none
};

struct TFontInfo {
    std::wstring face;  // empty: the system's default face
    int size = 12;      // pixel height
    bool bold = false;
    bool underline = false;
    bool italic = false;
    bool operator==(const TFontInfo&) const = default;
};

class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // ---- [skin resources] ----

    // The program's module; the instance path is the folder of its file.
    static void SetInstance(const CResourceModule* instance);
    static const CResourceModule* GetInstance();
    // The module searched for resources; the instance when none was set.
    static void SetResourceInstance(const CResourceModule* module);
    static const CResourceModule* GetResourceInstance();
    // Folder of the instance's file, ending with "/"; empty without an instance.
    static std::wstring GetInstancePath();

    // Stores `language`, or `fallback` when it is empty. Chooses the column of the language table.
    static void SetCurrentLanguage(const std::wstring& language, const std::wstring& fallback);
    static const std::wstring& GetCurrentLanguage();

    // Skin files are looked for in `path` first, but only when that folder exists; otherwise the path
    // becomes empty and every lookup goes to the archive. A stored path ends with "/".
    static void SetResourcePath(const std::wstring& path);
    static const std::wstring& GetResourcePath();

    // Unpacks the resource module's "ZIPRES" resource `resourceId` into the entry table, then loads the
    // language table `languageTableName` (from beside the executable, else through LoadFileData). Logs the
    // archive's size and entry count. A damaged archive keeps the entries before the damage.
    static void LoadSkinArchive(unsigned resourceId, const std::wstring& languageTableName);

    // The one lookup for skin files: an absolute path ("/...") is read as it is; otherwise the resource
    // path plus `name` is tried; an empty or unreadable file is passed over. Then the entry table, with
    // "\" read as "/" and letter case significant. Empty result: not found (entries are never empty).
    static std::vector<uint8_t> LoadFileData(const std::wstring& name);

    // Number of entries unpacked from the skin archive.
    static size_t GetSkinArchiveEntryCount();

    // Forgets instance, paths, language and entry table (tests start from scratch with it).
    static void ResetSkinResources();

    // ---- [tree] ----

    // Binds the manager to its window and enters it into the process-wide list; null (the window is gone)
    // unbinds it and takes it out of the list.
    void Init(platform::Window* window);
    // Null until Init.
    platform::Window* GetPaintWindow() const { return window_; }
    // Every manager that was given a window and still exists, oldest first.
    static const std::vector<CPaintManagerUI*>& GetPaintManagers();

    // Adopts `root` (owned from now on) as the window's tree: the focus is removed, the hover, click and
    // key targets forgotten; a previous tree is deleted with its pending cleanup and queued notifications;
    // then the tree is attached and its names registered. The next paint lays it out and sends "windowinit".
    bool AttachDialog(CControlUI* root);
    // Attaches `control` and its subtree under `parent` (with initialisation) and registers their names.
    void InitControls(CControlUI* control, CControlUI* parent = nullptr);
    CControlUI* GetRoot() const { return root_; }

    // The control registered under `name` (exact): when two share a name, the later sibling, or the
    // container over its child. Null when none.
    CControlUI* FindControl(const std::wstring& name) const;
    // The topmost visible, mouse-enabled control at `point` (client coordinates), or null.
    CControlUI* FindControl(platform::Point point) const;
    // The first control named `name` inside `parent`'s subtree (in tree order), or null.
    CControlUI* FindSubControlByName(CControlUI* parent, const std::wstring& name) const;

    // Forgets a control being deleted: focus, hover, click and key targets, its timers, its name entries,
    // its queued notifications, its option-group entries and its place in the delayed-cleanup list.
    void ReapObjects(CControlUI* control);
    // ReapObjects for `control` and every control under it (a subtree leaving the window).
    void ForgetControlTree(CControlUI* control);
    // Deletes `control` after the current message (when the notification queue is next drained).
    void AddDelayedCleanup(CControlUI* control);

    // The tree needs a layout at the next paint.
    void NeedUpdate() { updateNeeded_ = true; }
    bool IsUpdateNeeded() const { return updateNeeded_; }
    void Invalidate();
    void Invalidate(const SkinRect& rect);

    // Radio groups of option controls, by group name.
    bool AddOptionGroup(const std::wstring& group, CControlUI* control);
    const std::vector<CControlUI*>* GetOptionGroup(const std::wstring& group) const;
    void RemoveOptionGroup(const std::wstring& group, CControlUI* control);

    // Some control declared a virtual window: notifications carry their virtual-window name from now on.
    void UsedVirtualWnd(bool used) { usedVirtualWnd_ = used; }
    bool IsUsedVirtualWnd() const { return usedVirtualWnd_; }

    // Translucent painting with alpha (the window is made translucent); the root is laid out again.
    void SetLayered(bool layered);
    // Whole-window opacity 0 to 255.
    void SetOpacity(int opacity);

    // ---- [events] ----

    // The window's messages, in order: pre-message filters, the notification queue, paint, size, timers,
    // mouse, keys, close, cursor. True when handled, with `result` the answer.
    bool MessageHandler(const platform::WindowEvent& event, intptr_t& result);

    // Moves the keyboard focus to `control` (null removes it), sending UIEVENT_KILLFOCUS and "killfocus"
    // to the old one, UIEVENT_SETFOCUS and "setfocus" to the new one. Controls that are invisible,
    // disabled or of another window are refused. `focusWindow` also activates the window.
    void SetFocus(CControlUI* control, bool focusWindow = false);
    CControlUI* GetFocus() const { return focus_; }
    CControlUI* GetHoverControl() const { return eventHover_; }
    CControlUI* GetClickControl() const { return eventClick_; }

    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const;
    // The last mouse position seen, client coordinates; -1, -1 before any.
    platform::Point GetMousePos() const { return lastMousePos_; }

    // How long the pointer rests before a hover (and the tooltip), ms.
    int GetHoverTime() const { return hoverTime_; }
    void SetHoverTime(int ms) { hoverTime_ = ms; }
    // -1: unlimited.
    void SetToolTipMaxWidth(int width) { tooltipMaxWidth_ = width; }
    int GetToolTipMaxWidth() const { return tooltipMaxWidth_; }

    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddTranslateAccelerator(ITranslateAccelerator* translator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);

    // Runs the UI loop until the quit request (platform::MainLoop::quit).
    static void MessageLoop();
    // Offers a message for `window` to its manager's translators; true when one consumed it. Windows call
    // it before dispatching input.
    static bool TranslateMessage(const platform::Window* window, const platform::WindowEvent& event);

    // ---- [timers] ----

    // Starts timer `id` of `control` (UIEVENT_TIMER with wParam = id every `elapseMs`). False when that
    // timer runs already or the window refuses it; a killed one is re-armed.
    bool SetTimer(CControlUI* control, uint32_t id, uint32_t elapseMs);
    bool KillTimer(CControlUI* control, uint32_t id);
    void KillTimer(CControlUI* control);
    void RemoveAllTimers();

    // ---- [notifications] ----

    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    // Synchronous: the sender's OnNotify listeners, then every notifier in registration order.
    // Asynchronous: queued and delivered when the window next drains its queue; without `allowRepeat` a
    // queued notification of the same sender and type only takes the new values.
    void SendNotify(TNotifyMsg& msg, bool async = false, bool allowRepeat = true);
    void SendNotify(CControlUI* control, const std::wstring& type, intptr_t wParam = 0, intptr_t lParam = 0,
                    bool async = false, bool allowRepeat = true);

    // ---- [window resources] ----

    // Registers an image description under `name` (replacing one of that name) in this window's table,
    // or in the shared table when `shared`.
    const TImageInfo* AddImage(const std::wstring& name, const std::wstring& resType, uint32_t mask, bool shared);
    // This window's table first, then the shared one; null when absent.
    const TImageInfo* GetImage(const std::wstring& name) const;

    void AddFont(int id, const std::wstring& face, int size, bool bold, bool underline, bool italic, bool shared);
    // This window's font `id`, else the shared one; null when absent.
    const TFontInfo* GetFont(int id) const;
    void SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline, bool italic, bool shared);
    // This window's default font when one was set, else the shared default.
    const TFontInfo& GetDefaultFontInfo() const;

    // Attribute list applied to every control whose tag is spelled exactly `name`.
    void AddDefaultAttributeList(const std::wstring& name, const std::wstring& list, bool shared);
    // This window's list first, then the shared one (letter case significant); empty when absent.
    std::wstring GetDefaultAttributeList(const std::wstring& name) const;

    // Clears the shared image, font and default-list tables and the shared default font.
    static void RemoveAllShared();

    // ---- [window attributes] ----

    // One attribute of a layout's root "Window" element; unknown names become custom window attributes.
    void SetWindowAttribute(const std::wstring& name, const std::wstring& value);

    SkinSize GetInitSize() const { return initSize_; }
    SkinRect GetSizeBox() const { return sizeBox_; }
    SkinRect GetCaptionRect() const { return caption_; }
    SkinSize GetRoundCorner() const { return roundCorner_; }
    SkinSize GetMinInfo() const { return minInfo_; }
    SkinSize GetMaxInfo() const { return maxInfo_; }
    bool IsShowUpdateRect() const { return showUpdateRect_; }
    bool IsNoActivate() const { return noActivate_; }
    int GetOpacity() const { return opacity_; }
    bool IsLayered() const { return layered_; }
    int GetLayeredOpacity() const { return layeredOpacity_; }
    const std::wstring& GetLayeredImage() const { return layeredImage_; }
    uint32_t GetDefaultDisabledColor() const { return disabledColor_; }
    uint32_t GetDefaultFontColor() const { return fontColor_; }
    // The window's decoded images; controls paint their image attributes from it.
    CImageTable& GetImageTable() const { return imageTable_; }
    uint32_t GetDefaultLinkFontColor() const { return linkColor_; }
    uint32_t GetDefaultLinkHoverFontColor() const { return linkHoverColor_; }
    uint32_t GetDefaultSelectedBkColor() const { return selectedColor_; }
    // Empty when absent.
    std::wstring GetWindowCustomAttribute(const std::wstring& name) const;

private:
    struct TimerInfo {
        CControlUI* sender = nullptr;
        uint32_t localId = 0;
        uint32_t platformId = 0;
        bool killed = false;
    };

    // [events]
    bool onMouseMove(const platform::WindowEvent& event);
    void onMouseLeave(const platform::WindowEvent& event);
    void onMouseHover(const platform::WindowEvent& event);
    void onButtonDown(const platform::WindowEvent& event, int type);
    void onButtonUp(const platform::WindowEvent& event);
    void onClose();
    bool onSetCursor(const platform::WindowEvent& event);
    void sendEvent(CControlUI* control, int type, const platform::WindowEvent& from);
    // [timers]
    bool onTimer(const platform::WindowEvent& event);
    uint32_t nextTimerId();
    // [notifications]
    void deliver(TNotifyMsg& msg);
    void drainAsyncNotifications();
    void postAsyncNotify();
    // [paint]
    void onPaint(const platform::WindowEvent& event);
    void layOut();
    // [tree]
    void deleteTree();

    platform::Window* window_ = nullptr;
    CControlUI* root_ = nullptr;
    CControlUI* focus_ = nullptr;
    CControlUI* eventHover_ = nullptr;
    CControlUI* eventClick_ = nullptr;
    CControlUI* eventKey_ = nullptr;
    platform::Point lastMousePos_{-1, -1};
    bool firstLayout_ = true;
    bool updateNeeded_ = false;
    bool mouseTracking_ = false;
    bool usedVirtualWnd_ = false;
    bool asyncPosted_ = false;
    int hoverTime_ = 200;
    int tooltipMaxWidth_ = -1;
    bool tooltipShown_ = false;

    std::unordered_map<std::wstring, CControlUI*> names_;
    std::map<std::wstring, std::vector<CControlUI*>> optionGroups_;
    std::vector<INotifyUI*> notifiers_;
    std::vector<IMessageFilterUI*> preMessageFilters_;
    std::vector<ITranslateAccelerator*> translators_;
    std::deque<TNotifyMsg> asyncNotify_;
    std::deque<TNotifyMsg> delivering_;  // the batch being delivered
    std::vector<CControlUI*> delayedCleanup_;
    std::vector<TimerInfo> timers_;
    uint32_t timerCounter_ = 4096;

    std::map<std::wstring, TImageInfo> images_;
    mutable CImageTable imageTable_;
    std::map<int, TFontInfo> fonts_;
    std::unique_ptr<TFontInfo> defaultFont_;
    std::map<std::wstring, std::wstring> defaultAttributes_;

    SkinSize initSize_;
    SkinRect sizeBox_;
    SkinRect caption_;
    SkinSize roundCorner_;
    SkinSize minInfo_;
    SkinSize maxInfo_;
    bool showUpdateRect_ = false;
    bool noActivate_ = false;
    int opacity_ = 255;
    bool layered_ = false;
    int layeredOpacity_ = 255;
    std::wstring layeredImage_;
    uint32_t disabledColor_ = 0xFFA7A6AA;
    uint32_t fontColor_ = 0xFF000000;
    uint32_t linkColor_ = 0xFF0000FF;
    uint32_t linkHoverColor_ = 0xFFD3215F;
    uint32_t selectedColor_ = 0xFFBAE4FF;
    std::map<std::wstring, std::wstring> windowCustomAttributes_;
};

}  // namespace SkinUI
