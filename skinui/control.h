#pragma once
// CControlUI: the base of every control of a skinned window.
//
// A control lives in a tree owned by its window's paint manager (CPaintManagerUI). It holds its identity
// (name, text, tooltip, user data), its geometry (item rectangle in client coordinates, set by the parent's
// layout; padding, fixed position and size, limits, float settings), its flags (visible, enabled, mouse,
// keyboard, focused) and its appearance attributes. Input reaches it as TEventUI through Event/DoEvent;
// it reports to the window with notifications (CPaintManagerUI::SendNotify). Painting walks the tree with
// DoPaint, which calls the paint steps PaintBkColor, PaintBkImage, PaintStatusImage, PaintText and
// PaintBorder in that order; control classes override the steps they draw.
//
// Everything here runs on the UI thread.
#include <cairo.h>

#include <map>
#include <string>
#include <string_view>

#include "platform/window.h"
#include "skinui/attribute_values.h"
#include "skinui/image_description.h"
#include "skinui/render_image.h"
#include "skinui/render_geometry.h"
#include "skinui/ui_events.h"

namespace SkinUI {

class CPaintManagerUI;

// Float percentages: fractions of the parent's width (left, right) and height (top, bottom).
struct TPercentInfo {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    bool operator==(const TPercentInfo&) const = default;
};

// Flags of FindControl.
inline constexpr unsigned UIFIND_ALL = 0;
inline constexpr unsigned UIFIND_VISIBLE = 1;    // skip invisible controls and their subtrees
inline constexpr unsigned UIFIND_ENABLED = 2;    // skip disabled controls and their subtrees
inline constexpr unsigned UIFIND_HITTEST = 4;    // data is a platform::Point: only controls containing it
inline constexpr unsigned UIFIND_TOP_FIRST = 8;  // last child first (the one painted on top)
inline constexpr unsigned UIFIND_ME_FIRST = 0x8000;  // a container before its children

// Flags of GetControlFlags.
inline constexpr unsigned UIFLAG_TABSTOP = 1;
inline constexpr unsigned UIFLAG_SETCURSOR = 2;  // the control sets the cursor itself on UIEVENT_SETCURSOR
inline constexpr unsigned UIFLAG_WANTRETURN = 4;

// Visits a control; a non-null result ends the search with it.
using FindControlProc = CControlUI* (*)(CControlUI* control, void* data);

inline constexpr int kDefaultMaxSize = 9999;

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // ---- identity ----
    virtual std::wstring GetName() const { return name_; }
    virtual void SetName(const std::wstring& name) { name_ = name; }
    // Short class name ("Control", "Container", "VerticalLayout", ...).
    virtual std::wstring_view GetClass() const { return L"Control"; }
    // "Control" gives this control; container classes answer "IContainer" with their IContainerUI.
    virtual void* GetInterface(std::wstring_view name);
    virtual unsigned GetControlFlags() const { return 0; }
    // What a click or the keyboard does to the control; false when it is invisible or disabled.
    virtual bool Activate();

    // ---- links ----
    virtual CPaintManagerUI* GetManager() const { return manager_; }
    // Attaches the control to `manager` under `parent` (both may be null). `init` runs the initialisation
    // (DoInit, then the OnInit listeners) once in the control's life.
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init);
    virtual CControlUI* GetParent() const { return parent_; }
    // The control painted over this one, owned, kept at this control's visibility. A previous cover is deleted.
    virtual void SetCover(CControlUI* cover);
    CControlUI* GetCover() const { return cover_; }

    // ---- text and data ----
    // Raw text: "@" + identifier is resolved when drawn.
    virtual std::wstring GetText() const { return text_; }
    virtual void SetText(const std::wstring& text);
    virtual std::wstring GetToolTip() const { return tooltip_; }
    // Every "<n>" becomes a line break.
    virtual void SetToolTip(const std::wstring& text);
    virtual void SetToolTipWidth(int width) { tooltipWidth_ = width; }
    virtual int GetToolTipWidth() const { return tooltipWidth_; }
    virtual wchar_t GetShortcut() const { return shortcut_; }
    virtual void SetShortcut(wchar_t ch) { shortcut_ = ch; }
    virtual bool IsContextMenuUsed() const { return menuUsed_; }
    virtual void SetContextMenuUsed(bool used) { menuUsed_ = used; }
    virtual const std::wstring& GetUserData() const { return userData_; }
    virtual void SetUserData(const std::wstring& data) { userData_ = data; }
    virtual intptr_t GetTag() const { return tag_; }
    virtual void SetTag(intptr_t tag) { tag_ = tag; }
    // Declaring a virtual window turns on virtual-window routing of notifications in the window.
    void SetVirtualWnd(const std::wstring& name);
    const std::wstring& GetVirtualWnd() const { return virtualWnd_; }

    // ---- geometry ----
    virtual const SkinRect& GetPos() const { return rcItem_; }
    // Places the control (client coordinates; relative to the parent for a floating control).
    virtual void SetPos(SkinRect rc, bool needInvalidate = true);
    virtual SkinRect GetPadding() const { return padding_; }
    virtual void SetPadding(SkinRect padding);
    virtual SkinSize GetFixedXY() const { return fixedXY_; }
    virtual void SetFixedXY(SkinSize xy);
    virtual TPercentInfo GetFloatPercent() const { return floatPercent_; }
    virtual void SetFloatPercent(TPercentInfo percent);
    // Sizes: 0 = not fixed; negative values are ignored.
    virtual int GetFixedWidth() const { return fixed_.cx; }
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const { return fixed_.cy; }
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const { return min_.cx; }
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const { return max_.cx; }
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const { return min_.cy; }
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const { return max_.cy; }
    virtual void SetMaxHeight(int cy);
    // The size the control wants within `available`; 0 in a direction means "whatever the layout gives".
    virtual SkinSize EstimateSize(SkinSize available);

    // ---- flags ----
    // Visible and not hidden through an ancestor.
    virtual bool IsVisible() const { return visible_ && internVisible_; }
    // The control's own setting, whatever its ancestors.
    bool IsOwnVisible() const { return visible_; }
    virtual void SetVisible(bool visible = true);
    // Set by the parent: false while an ancestor is hidden.
    virtual void SetInternVisible(bool visible = true);
    virtual bool IsEnabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled = true);
    virtual bool IsMouseEnabled() const { return mouseEnabled_; }
    virtual void SetMouseEnabled(bool enabled = true) { mouseEnabled_ = enabled; }
    virtual bool IsKeyboardEnabled() const { return keyboardEnabled_; }
    virtual void SetKeyboardEnabled(bool enabled = true) { keyboardEnabled_ = enabled; }
    virtual bool IsFocused() const { return focused_; }
    // Asks the manager for the keyboard focus.
    virtual void SetFocus();
    virtual bool IsFloat() const { return float_; }
    virtual void SetFloat(bool isFloat = true);

    // ---- appearance ----
    uint32_t GetBkColor() const { return bkColor_; }
    void SetBkColor(uint32_t color);
    uint32_t GetBkColor2() const { return bkColor2_; }
    void SetBkColor2(uint32_t color);
    uint32_t GetBkColor3() const { return bkColor3_; }
    void SetBkColor3(uint32_t color);
    // Index into the colour theme given by "bkcolorIndex"; -1 when none was given.
    int GetBkColorIndex() const { return bkColorIndex_; }
    const std::wstring& GetBkImage() const { return bkImage_; }
    virtual void SetBkImage(const std::wstring& image);
    uint32_t GetBorderColor() const { return borderColor_; }
    void SetBorderColor(uint32_t color);
    uint32_t GetFocusBorderColor() const { return focusBorderColor_; }
    void SetFocusBorderColor(uint32_t color);
    bool IsColorHSL() const { return colorHsl_; }
    void SetColorHSL(bool hsl) { colorHsl_ = hsl; }
    // Border widths per side; SetBorderSize(int) sets all four.
    SkinRect GetBorderRect() const { return borderRect_; }
    int GetBorderSize() const { return borderRect_.left; }
    void SetBorderSize(int size);
    void SetBorderSize(SkinRect sizes);
    int GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    SkinSize GetBorderRound() const { return borderRound_; }
    void SetBorderRound(SkinSize round);

    // ---- searching ----
    // Visits the tree (this control, its cover; containers add their scroll bars and children) with
    // `proc` under `flags`; returns the first non-null result.
    virtual CControlUI* FindControl(FindControlProc proc, void* data, unsigned flags);

    // ---- updating ----
    bool IsUpdateNeeded() const { return updateNeeded_; }
    // This control needs a new layout (and a repaint) at the next paint.
    virtual void NeedUpdate();
    // The parent must lay out again (this control's size or visibility changed).
    virtual void NeedParentUpdate();
    // Repaints the control's rectangle, clipped by every ancestor.
    virtual void Invalidate();

    // ---- events ----
    // Runs the event listeners, then DoEvent unless one of them said stop.
    void Event(TEventUI& event);
    // Base behaviour: focus flags, "timer" and "menu" notifications, the arrow cursor; everything else goes
    // to the parent.
    virtual void DoEvent(TEventUI& event);

    // ---- attributes ----
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

    // ---- painting ----
    // Paints the part of the control inside `paint` (client coordinates) into `cr`: nothing when the two do
    // not meet or a paint listener vetoes; clipped to the rounded border when there is one; then the paint
    // steps in order and the cover.
    virtual void DoPaint(cairo_t* cr, const SkinRect& paint);
    // The paint steps. GetPaintRect() is the part being painted during them. The base PaintBkColor fills
    // the first background colour; the others draw nothing here.
    virtual void PaintBkColor(cairo_t* cr);
    virtual void PaintBkImage(cairo_t* cr);
    virtual void PaintStatusImage(cairo_t* cr);
    virtual void PaintText(cairo_t* cr);
    virtual void PaintBorder(cairo_t* cr);
    const SkinRect& GetPaintRect() const { return rcPaint_; }
    // Paints one image attribute over the control within the paint rectangle, with the window's image
    // table. False when there is nothing to draw.
    bool DrawImage(cairo_t* cr, TDrawInfo& info, const TImageDrawOptions& options = {});
    // Paints picture `part` of an image made of `parts` equal-width pictures side by side ("standardimage").
    bool DrawImagePart(cairo_t* cr, TDrawInfo& strip, int part, int parts, int opacity = 255);
    // The pointer's shape over this control, for the set-cursor event.
    void ShowCursor(platform::Cursor cursor);

    // ---- listeners (each returns whether processing goes on) ----
    CEventSource<CControlUI*> OnInit;
    CEventSource<CControlUI*> OnDestroy;
    CEventSource<CControlUI*> OnSize;
    CEventSource<TEventUI&> OnEvent;
    CEventSource<TNotifyMsg&> OnNotify;
    CEventSource<CControlUI*> OnPaint;

protected:
    // Called once when the control is attached to its window for real.
    virtual void DoInit() {}
    void Init();

    SkinRect rcItem_{};
    SkinRect rcPaint_{};
    bool updateNeeded_ = true;

private:
    std::wstring name_;
    std::wstring text_;
    std::wstring tooltip_;
    int tooltipWidth_ = 300;
    std::wstring userData_;
    intptr_t tag_ = 0;
    wchar_t shortcut_ = 0;
    std::wstring virtualWnd_;
    CPaintManagerUI* manager_ = nullptr;
    CControlUI* parent_ = nullptr;
    CControlUI* cover_ = nullptr;

    SkinRect padding_{};
    SkinSize fixedXY_{};
    SkinSize fixed_{};
    SkinSize min_{};
    SkinSize max_{kDefaultMaxSize, kDefaultMaxSize};
    bool float_ = false;
    TPercentInfo floatPercent_{};

    bool visible_ = true;
    bool internVisible_ = true;
    bool enabled_ = true;
    bool mouseEnabled_ = true;
    bool keyboardEnabled_ = false;
    bool focused_ = false;
    bool menuUsed_ = false;
    bool initialised_ = false;
    bool inSizeListeners_ = false;

    uint32_t bkColor_ = 0;
    uint32_t bkColor2_ = 0;
    uint32_t bkColor3_ = 0;
    int bkColorIndex_ = -1;
    std::wstring bkImage_;
    TDrawInfo bkImageInfo_;
    uint32_t borderColor_ = 0;
    uint32_t focusBorderColor_ = 0;
    bool colorHsl_ = false;
    SkinRect borderRect_{};
    int borderStyle_ = 0;
    SkinSize borderRound_{};

    std::map<std::wstring, std::wstring> customAttributes_;
};

// The rectangle both rectangles cover; empty (all 0) when they do not meet.
SkinRect IntersectRect(const SkinRect& a, const SkinRect& b);
bool RectsMeet(const SkinRect& a, const SkinRect& b);
inline bool RectContainsPoint(const SkinRect& r, platform::Point p) { return RectContainsPoint(r, p.x, p.y); }

// Controls and the drawing code use SkinRect; windows use platform::Rect. Both are half-open l, t, r, b.
inline SkinRect ToSkinRect(const platform::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline platform::Rect ToPlatformRect(const SkinRect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace SkinUI
