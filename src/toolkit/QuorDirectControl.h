#pragma once
// The three base classes through which controls take part in the frame's
// painting protocol, and the container logic that routes mouse input to
// windowless children.
//
// Painting: the frame asks a control to snapshot what lies under it, to
// paint itself (snapshot pasted back, its own drawing, its children) or to
// repaint its state after a hover or press change. A control draws through a
// paint context: its rectangle on the canvas and the part of the canvas it
// may change, so that a scrolling parent can offset and clip its children.
// None of these steps presents; the frame presents once afterwards.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/QuorText.h"

namespace quor {

class TQuorDirectForm;
class TQuorDirectParentControl;
class TQuorContainer;
class TQuorControlBase;

struct TBounds {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

// Properties every control takes from a window definition. Each control's
// own TProps holds one of these as its `Control` member, with the control's
// defaults, so that a definition names every field with designated initialisers:
//   {.Control = {.Name = L"lblTitle", .Bounds = {28, 52, 360, 28}}, .Caption = L"..."}
// Naming `.Control` replaces those defaults as a whole: a definition that
// names it states the bounds and TabStop it wants.
struct TControlProps {
  std::wstring Name;
  TBounds Bounds;
  bool Visible = true;
  bool Enabled = true;
  std::wstring Hint;
  bool ShowHint = false;
  // Windowed controls only; windowless ones ignore these three.
  int Alpha = 255;
  bool TabStop = false;
  int TabOrder = -1;  // -1: after the siblings that have one, in the order of creation
};

// Where a control draws: the canvas, the control's rectangle on it, and the
// part of the canvas that the drawing may change.
struct TPaintContext {
  TQuorBitmap& Canvas;
  RECT Rect{};
  RECT Clip{};
};

using TNotifyEvent = std::function<void(TQuorControlBase& sender)>;

enum class TMouseButton { Left, Right, Middle, X1, X2 };

class TQuorControlBase {
 public:
  TQuorControlBase(TQuorContainer& parent, const TControlProps& props);
  virtual ~TQuorControlBase() = default;
  TQuorControlBase(const TQuorControlBase&) = delete;
  TQuorControlBase& operator=(const TQuorControlBase&) = delete;

  // A windowed control takes part in focus and keyboard; a windowless one does not.
  virtual bool Windowed() const { return false; }
  // The control's own window, for windowed controls.
  virtual HWND WindowHandle() const { return nullptr; }
  // The control as a container of children, for windowed controls.
  virtual TQuorContainer* AsContainer() { return nullptr; }
  // Second phase of building: the control's window, under its parent's.
  // Throws std::system_error when the system refuses it.
  virtual void CreateHandle() {}
  // Whether Tab may move the keyboard focus to the control now, and its place in tab order.
  virtual bool CanTakeFocus() const { return false; }
  virtual int TabOrder() const { return -1; }
  const std::wstring& Name() const { return FControl.Name; }
  const TBounds& Bounds() const { return FControl.Bounds; }
  int Width() const { return FControl.Bounds.Width; }
  int Height() const { return FControl.Bounds.Height; }
  virtual void SetBounds(const TBounds& bounds);
  bool Visible() const { return FControl.Visible; }
  virtual void SetVisible(bool visible);
  bool Enabled() const { return FControl.Enabled; }
  virtual void SetEnabled(bool enabled);
  const std::wstring& Hint() const { return FControl.Hint; }
  // A changed hint shows at once while the mouse is over the control.
  void SetHint(const std::wstring& hint);
  bool ShowHint() const { return FControl.ShowHint; }
  void SetShowHint(bool show);

  TQuorContainer& Parent() const { return FParent; }
  TQuorDirectForm* Frame() const { return FFrame; }
  TQuorDirectParentControl* ParentControl() const { return FParentControl; }
  // Bounds offset by every parent up to the frame.
  RECT SurfaceRect() const;
  // The part of the surface rectangle that the parents leave visible.
  RECT ClipRect() const;
  // True while every parent up to the frame is visible.
  bool Showing() const;
  bool Hovered() const { return FHovered; }
  bool Pressed() const { return FPressed; }
  bool StateRepaint() const { return FStateRepaint; }

  // Mouse input in the control's own coordinates. MouseDown and MouseUp are
  // the left button's; the other buttons come through ButtonDown/ButtonUp.
  virtual void MouseDown(int x, int y);
  virtual void MouseUp(int x, int y);
  virtual void MouseMove(int x, int y, WPARAM keys);
  virtual void MouseLeave();
  virtual void ButtonDown(TMouseButton button, int x, int y) { (void)button, (void)x, (void)y; }
  virtual void ButtonUp(TMouseButton button, int x, int y) { (void)button, (void)x, (void)y; }
  // True when the control used the wheel; otherwise its parent gets it.
  virtual bool MouseWheel(int delta, int x, int y) { (void)delta, (void)x, (void)y; return false; }
  // The mouse capture went elsewhere while a button was held on the control.
  virtual void CaptureLost();
  virtual void Click();

  // The drawing of the control through its paint context.
  virtual void DirectPaint(TPaintContext& ctx) { (void)ctx; }
  virtual void StatePaint(TPaintContext& ctx) { (void)ctx; }

  TNotifyEvent OnClick;

 protected:
  friend class TQuorDirectForm;
  friend class TQuorDirectParentControl;
  // The painting protocol; none of these presents.
  virtual void TakeSnapshot(TQuorDirectForm& frame) = 0;
  virtual void Repaint(TQuorDirectForm& frame) = 0;
  virtual void RepaintState(TQuorDirectForm& frame) = 0;
  // Asks the frame to repaint the control's state and present.
  void StateChanged();
  // Asks the frame to redraw the control and present after a property change.
  virtual void Redraw();
  // Runs `draw` on the control's rectangle of the surface, limited to its clip.
  void PaintClipped(TQuorBitmap& surface, const std::function<void(TPaintContext&)>& draw);
  void UpdateHintTool();
  // Changes the flag only; the caller repaints.
  void SetVisibleFlag(bool visible) { FControl.Visible = visible; }

  bool FHovered = false;
  bool FPressed = false;
  bool FStateRepaint = true;

 private:
  TQuorContainer& FParent;
  TQuorDirectForm* FFrame = nullptr;
  TQuorDirectParentControl* FParentControl = nullptr;
  // The live common properties; a control's own FProps.Control is only the
  // definition it was built from.
  TControlProps FControl;
};

// Holds child controls and routes mouse input to its windowless ones.
class TQuorContainer {
 public:
  virtual ~TQuorContainer() = default;

  // Children are built in two phases: constructed, then given their windows
  // (at once when the container has one, else when the frame loads).
  template <typename T>
  T& Add(const typename T::TProps& props) {
    auto control = std::make_unique<T>(*this, props);
    T& ref = *control;
    FChildren.push_back(std::move(control));
    ChildAdded(ref);
    return ref;
  }
  const std::vector<std::unique_ptr<TQuorControlBase>>& Children() const { return FChildren; }
  TQuorControlBase* FindChild(const std::wstring& name) const;

  virtual HWND ContainerHandle() const = 0;
  virtual TQuorDirectForm* ContainerFrame() = 0;
  virtual TQuorDirectParentControl* AsParentControl() { return nullptr; }
  // Offset of the container's client origin on the frame's surface.
  virtual POINT SurfaceOrigin() const = 0;
  // The part of the surface in which children may draw.
  virtual RECT ChildClip() const = 0;
  virtual bool ContainerShowing() const = 0;
  // The topmost visible, enabled control under a surface point, at any depth.
  TQuorControlBase* ControlAt(POINT surface);

 protected:
  virtual void ChildAdded(TQuorControlBase& child);
  // The windowless child under the point, topmost first.
  virtual TQuorControlBase* HitTest(int x, int y);
  // True when the message went to a windowless child.
  bool RouteMouse(UINT msg, WPARAM w, LPARAM l);
  void ForgetChild(TQuorControlBase* child);

  std::vector<std::unique_ptr<TQuorControlBase>> FChildren;
  TQuorControlBase* FMouseChild = nullptr;    // hovered windowless child
  TQuorControlBase* FCaptureChild = nullptr;  // pressed windowless child
  bool FTrackingLeave = false;
};

// Base of windowless controls: labels, buttons, images, progress.
class TQuorDirectControl : public TQuorControlBase {
 public:
  using TQuorControlBase::TQuorControlBase;

  void SetVisible(bool visible) override;
  void SetBounds(const TBounds& bounds) override;

 protected:
  void TakeSnapshot(TQuorDirectForm& frame) override;
  void Repaint(TQuorDirectForm& frame) override;
  void RepaintState(TQuorDirectForm& frame) override;

 private:
  void PasteSnapshot(TQuorBitmap& surface) const;

  std::optional<TPngImage> FSnapshot;
};

// Base of windowed controls: a child window takes focus, keyboard and mouse;
// the system never paints it.
class TQuorDirectParentControl : public TQuorControlBase, public TQuorContainer {
 public:
  TQuorDirectParentControl(TQuorContainer& parent, const TControlProps& props);
  ~TQuorDirectParentControl() override;

  bool Windowed() const override { return true; }
  HWND WindowHandle() const override { return FHandle; }
  TQuorContainer* AsContainer() override { return this; }
  void CreateHandle() override;

  virtual void AlphaChanged() {}
  // A control whose drawing covers its whole rectangle with opaque pixels is
  // painted without pasting its background first.
  virtual bool Opaque() const { return false; }
  int Alpha() const { return FControl.Alpha; }
  void SetAlpha(int alpha);
  bool OwnerDrawn() const { return FOwnerDrawn; }
  void SetOwnerDrawn(bool ownerDrawn) { FOwnerDrawn = ownerDrawn; }
  bool Focused() const { return FHandle && ::GetFocus() == FHandle; }
  void SetFocus();
  bool TabStop() const { return FControl.TabStop; }
  void SetTabStop(bool tabStop) { FControl.TabStop = tabStop; }
  int TabOrder() const override { return FControl.TabOrder; }
  bool CanTakeFocus() const override;
  void SetTabOrder(int order) { FControl.TabOrder = order; }
  // The dotted mark of the focused control, drawn while keyboard cues are on.
  bool ShowsFocusMark() const;
  void SetBounds(const TBounds& bounds) override;
  void SetVisible(bool visible) override;
  void SetEnabled(bool enabled) override;

  HWND Handle() const { return FHandle; }
  HWND ContainerHandle() const override { return FHandle; }
  TQuorDirectForm* ContainerFrame() override { return Frame(); }
  TQuorDirectParentControl* AsParentControl() override { return this; }
  POINT SurfaceOrigin() const override;
  RECT ChildClip() const override { return ClipRect(); }
  bool ContainerShowing() const override { return Visible() && Showing(); }

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept;

 protected:
  void TakeSnapshot(TQuorDirectForm& frame) override;
  void Repaint(TQuorDirectForm& frame) override;
  void RepaintState(TQuorDirectForm& frame) override;
  void Redraw() override;
  virtual LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l);
  virtual void FocusChanged(bool focused);
  virtual void KeyDown(WPARAM key) { (void)key; }
  virtual void CharTyped(wchar_t c) { (void)c; }
  // Controls that use Tab themselves answer true.
  virtual bool WantsTab() const { return false; }

 private:
  void PasteSnapshot(TQuorBitmap& surface) const;
  void DrawFocusMark(TPaintContext& ctx) const;

  HWND FHandle = nullptr;
  bool FOwnerDrawn = false;
  bool FReleasingCapture = false;
  std::optional<TQuorBitmap> FSnapshot;
};

// Base of form-based children; holds a snapshot and an opacity only.
class TQuorDirectFrameControl : public TQuorDirectParentControl {
 public:
  using TQuorDirectParentControl::TQuorDirectParentControl;
};

}  // namespace quor
