#pragma once
// The three base classes through which controls take part in the frame's
// painting protocol, and the container logic that routes mouse input to
// windowless children.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/QuorText.h"

namespace quor {

class TQuorDirectForm;
class TQuorDirectParentControl;
class TQuorContainer;

struct TBounds {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

// Properties every control takes from a window definition.
struct TControlProps {
  std::wstring Name;
  TBounds Bounds;
  bool Visible = true;
  bool Enabled = true;
  std::wstring Hint;
  bool ShowHint = false;
};

using TNotifyEvent = std::function<void(void* sender)>;

class TQuorControlBase {
 public:
  enum class TKind { Windowless, Windowed, FrameControl };

  TQuorControlBase(TQuorContainer& parent, const TControlProps& props);
  virtual ~TQuorControlBase() = default;
  TQuorControlBase(const TQuorControlBase&) = delete;
  TQuorControlBase& operator=(const TQuorControlBase&) = delete;

  virtual TKind Kind() const = 0;
  const std::wstring& Name() const { return FName; }
  const TBounds& Bounds() const { return FBounds; }
  int Width() const { return FBounds.Width; }
  int Height() const { return FBounds.Height; }
  virtual void SetBounds(const TBounds& bounds);
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool visible);
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool enabled);
  const std::wstring& Hint() const { return FHint; }
  void SetHint(const std::wstring& hint) { FHint = hint; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool show) { FShowHint = show; }

  TQuorContainer& Parent() const { return FParent; }
  TQuorDirectForm* Frame() const { return FFrame; }
  TQuorDirectParentControl* ParentControl() const { return FParentControl; }
  // Bounds offset by every parent up to the frame.
  RECT SurfaceRect() const;
  // True while every parent up to the frame is visible.
  bool Showing() const;
  bool Hovered() const { return FHovered; }
  bool Pressed() const { return FPressed; }
  bool StateRepaint() const { return FStateRepaint; }

  // Mouse input in the control's own coordinates.
  virtual void MouseDown(int x, int y);
  virtual void MouseUp(int x, int y);
  virtual void MouseMove(int x, int y, WPARAM keys);
  virtual void MouseLeave();
  virtual void Click();

  TNotifyEvent Onclick;

 protected:
  virtual void RepaintState() = 0;
  // Asks the frame to redraw the control after a property change.
  virtual void Redraw() = 0;
  void UpdateHintTool();

  bool FHovered = false;
  bool FPressed = false;
  bool FStateRepaint = true;

 private:
  TQuorContainer& FParent;
  TQuorDirectForm* FFrame = nullptr;
  TQuorDirectParentControl* FParentControl = nullptr;
  std::wstring FName;
  TBounds FBounds;
  bool FVisible = true;
  bool FEnabled = true;
  std::wstring FHint;
  bool FShowHint = false;
};

// Holds child controls and routes mouse input to its windowless ones.
class TQuorContainer {
 public:
  virtual ~TQuorContainer() = default;

  template <typename T, typename Props>
  T& Add(const Props& props) {
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
  virtual bool ContainerShowing() const = 0;

 protected:
  virtual void ChildAdded(TQuorControlBase&) {}
  // The windowless child under the point, topmost first; extra candidates come before children.
  virtual TQuorControlBase* HitTest(int x, int y);
  // True when the message went to a windowless child.
  bool RouteMouse(UINT msg, WPARAM w, LPARAM l);
  void ForgetChild(TQuorControlBase* child);

  std::vector<std::unique_ptr<TQuorControlBase>> FChildren;
  TQuorControlBase* FMouseChild = nullptr;  // hovered windowless child
  TQuorControlBase* FCaptureChild = nullptr;  // pressed windowless child
  bool FTrackingLeave = false;
};

// Base of windowless controls: labels, buttons, images, progress.
class TQuorDirectControl : public TQuorControlBase {
 public:
  using TQuorControlBase::TQuorControlBase;
  TKind Kind() const override { return TKind::Windowless; }

  virtual void DirectPaint(TQuorBitmap& canvas) { (void)canvas; }
  virtual void StatePaint(TQuorBitmap& canvas) { (void)canvas; }
  void SetVisible(bool visible) override;
  void SetBounds(const TBounds& bounds) override;

  std::optional<TPngImage> FSnapshot;

 protected:
  void RepaintState() override;
  void Redraw() override;
};

// Base of windowed controls: a child window takes focus, keyboard and mouse;
// the system never paints it.
class TQuorDirectParentControl : public TQuorControlBase, public TQuorContainer {
 public:
  struct TProps : TControlProps {
    int Alpha = 255;
    bool TabStop = false;
  };
  TQuorDirectParentControl(TQuorContainer& parent, const TProps& props);
  ~TQuorDirectParentControl() override;
  TKind Kind() const override { return TKind::Windowed; }

  virtual void AlphaChanged() {}
  virtual void DirectPaint(TQuorBitmap& canvas) { (void)canvas; }
  virtual void StatePaint(TQuorBitmap& canvas) { (void)canvas; }

  int Alpha() const { return FAlpha; }
  void SetAlpha(int alpha);
  bool OwnerDrawn() const { return FOwnerDrawn; }
  void SetOwnerDrawn(bool ownerDrawn) { FOwnerDrawn = ownerDrawn; }
  bool Focused() const { return FHandle && ::GetFocus() == FHandle; }
  void SetFocus();
  void SetBounds(const TBounds& bounds) override;
  void SetVisible(bool visible) override;

  HWND Handle() const { return FHandle; }
  HWND ContainerHandle() const override { return FHandle; }
  TQuorDirectForm* ContainerFrame() override { return Frame(); }
  TQuorDirectParentControl* AsParentControl() override { return this; }
  POINT SurfaceOrigin() const override;
  bool ContainerShowing() const override { return Visible() && Showing(); }

  std::optional<TQuorBitmap> FSnapshot;

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept;

 protected:
  void RepaintState() override;
  void Redraw() override;
  virtual LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l);
  virtual void FocusChanged(bool focused) { (void)focused; }
  virtual void KeyDown(WPARAM key) { (void)key; }
  virtual void CharTyped(wchar_t c) { (void)c; }

  bool FTabStop = false;

 private:
  HWND FHandle = nullptr;
  int FAlpha = 255;
  bool FOwnerDrawn = false;
};

// Base of form-based children; holds a snapshot and an opacity only.
class TQuorDirectFrameControl : public TQuorDirectParentControl {
 public:
  using TQuorDirectParentControl::TQuorDirectParentControl;
  TKind Kind() const override { return TKind::FrameControl; }
};

}  // namespace quor
