#pragma once
// The frame: turns its host into a layered window, owns the window's
// surface, draws the skin, caption and caption buttons, and presents the
// surface after every change. Controls paint into its surface.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/HostWindow.h"
#include "toolkit/QuorDirectControl.h"

namespace quor {

class TQuorDirectForm;
class TQuorPopupMenu;

// A caption button: three frames (normal, over, down) cut from one strip.
class TWDFButton : public TQuorDirectControl {
 public:
  struct TProps {
    TControlProps Control;
    TPngImage Strip;
  };
  TWDFButton(TQuorContainer& parent, const TProps& props);
  void DirectPaint(TPaintContext& ctx) override;
  void StatePaint(TPaintContext& ctx) override { DirectPaint(ctx); }

  TPngImage BtnNormal, BtnOver, BtnDown, BtnBack;
  bool Placed = false;

 protected:
  // The frame keeps the button's background from the clean skin.
  void TakeSnapshot(TQuorDirectForm&) override {}
  void Repaint(TQuorDirectForm& frame) override;
  void RepaintState(TQuorDirectForm& frame) override { Repaint(frame); }

 private:
  TProps FProps;
};

struct TQuorFormProps {
  int AlphaWidth = 0;
  int Alpha = 255;
  TColor SkinColor = clNone;
  TFontSpec CaptionFont = {L"Tahoma", DEFAULT_CHARSET, 9, fsBold, 0x453A33};
  std::wstring Caption;
  TQuorPadding FormSplit;
  TPngImage ImgForm, ImgShadow;
  TPngImage ImgBtnMin, ImgBtnMax, ImgBtnRestore, ImgBtnClose, ImgBtnSkin, ImgBtnSingleClose,
      ImgBtnSingleMin, ImgBtnMenu;
  TPngImage ImgLogo, ImgCaption;
  bool SupportResize = false;
  bool CanMoveAny = false;
  bool CanMove = true;
  TQuorFormBtns FormBtns = {TQuorFormBtn::QbiMenu, TQuorFormBtn::QbiMinimize,
                            TQuorFormBtn::QbiMaximize};
  int BtnTopFix = 0, BtnRightFix = 0, BtnMargin = 0;
  std::wstring LogoHint, BtnMinHint, BtnMaxHint, BtnSkinHint, BtnRestoreHint, BtnCloseHint,
      BtnMenuHint;
  int LogoTopFix = 0, LogoLeftFix = 0, TitleTopFix = 0, TitleLeftFix = 0;
  TQuorPopupMenu* BtnPopuMenu = nullptr;  // not owned; pops up under the menu button
};

class TQuorDirectForm : public TQuorContainer {
 public:
  static constexpr int kCaptionHeight = 30;

  TQuorDirectForm(THostWindow& host, TQuorFormProps props);
  ~TQuorDirectForm() override;
  TQuorDirectForm(const TQuorDirectForm&) = delete;
  TQuorDirectForm& operator=(const TQuorDirectForm&) = delete;

  // The loading steps: the windows of host, frame and children, layered style,
  // hook, surface, caption buttons, children, Present. Throws std::system_error
  // when a window cannot be made.
  void Load();
  bool Loaded() const { return FLoaded; }

  // Painting protocol. Present is deferred while an update is open.
  void Present();
  void RedrawControl(TQuorControlBase& control);
  void RedrawContainer(TQuorControlBase& control) { RedrawControl(control); }
  void RepaintState(TQuorControlBase& control);
  void SnapshotBackground(TQuorControlBase& control);

  // Updates nest; the outermost EndUpdate presents once if anything asked to.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  class TUpdateGuard {
   public:
    explicit TUpdateGuard(TQuorDirectForm& frame) : FFrame(frame) { FFrame.BeginUpdate(); }
    ~TUpdateGuard() { FFrame.EndUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

   private:
    TQuorDirectForm& FFrame;
  };

  // Keyboard: Tab and Shift+Tab move the focus through the windowed controls
  // that have a tab stop, in tab order; keyboard cues (the focus mark) show
  // from the first Tab on.
  void FocusNext(bool backward);
  bool KeyboardCues() const { return FKeyboardCues; }
  // The wheel goes to the control under the screen point, then up its parents.
  void DispatchWheel(int delta, POINT screen);

  // Repaints the whole surface from the clean skin and every child, then presents once.
  void RedrawAll();
  void Maximize();
  void Restore();
  void Minimize();
  void CloseClick();
  // OnBtnMenuClick, then BtnPopuMenu at the button's bottom-left corner.
  void BtnMenuClick(TWDFButton& button);

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  int Alpha() const { return FProps.Alpha; }
  void SetAlpha(int alpha);
  TColor SkinColor() const { return FProps.SkinColor; }
  void SetSkinColor(TColor color);
  const std::wstring& Caption() const { return FProps.Caption; }
  void SetCaption(const std::wstring& caption);
  void SetCaptionFont(const TFontSpec& font);
  TQuorFormState FormState() const { return FState; }
  const TQuorFormProps& Props() const { return FProps; }
  int AlphaWidth() const { return FProps.AlphaWidth; }
  TQuorPopupMenu* BtnPopuMenu() const { return FProps.BtnPopuMenu; }
  void SetBtnPopuMenu(TQuorPopupMenu* menu) { FProps.BtnPopuMenu = menu; }

  TQuorBitmap& Surface() { return FSurface; }
  const TQuorBitmap& CleanSkin() const;
  THostWindow& Host() { return FHost; }
  HWND Handle() const { return FHandle; }
  RECT CaptionArea() const { return FCaptionArea; }
  RECT LogoRect() const { return FLogoRect; }
  RECT CaptionRect() const { return FCaptionRect; }
  TWDFButton* CaptionButton(const std::wstring& name) const;
  bool PresentLocked() const { return FUpdateCount > 0; }
  int PresentCount() const { return FPresentCount; }

  // Changes the tooltip of a caption button ("BtnClose", "BtnMax", "BtnRestore",
  // "BtnMin", "BtnMenu", "BtnSkin") or of the logo ("Logo") at run time, as a
  // translation does; a tooltip on screen shows the new text at once.
  void SetCaptionHint(const std::wstring& part, const std::wstring& hint);
  void ShowControlHint(TQuorControlBase& control, const std::wstring& text);
  void CancelControlHint(TQuorControlBase& control);

  // TQuorContainer
  HWND ContainerHandle() const override { return FHandle; }
  TQuorDirectForm* ContainerFrame() override { return this; }
  POINT SurfaceOrigin() const override { return {0, 0}; }
  RECT ChildClip() const override { return {0, 0, FSurface.Width(), FSurface.Height()}; }
  bool ContainerShowing() const override { return true; }

  using TFormEvent = std::function<void(TQuorDirectForm& sender)>;
  // The caption buttons' events have the button as sender.
  TNotifyEvent OnBtnMenuClick, OnBtnSkinClick;
  TFormEvent OnLogoClick, FirstFormShow, OnMinSize, OnQuorFormLeave, OnQuorSkinChange,
      OnQuorFormMax, OnQuorFormRestore;
  // The user has resized the window by its border; the surface has its new
  // size and the children are redrawn after the handler has placed them.
  TFormEvent OnQuorFormResize;
  std::function<void(TQuorDirectForm& sender, TQuorBitmap& canvas)> OnQuorFormPaint;
  std::function<void(TQuorDirectForm& sender, WPARAM keys, int x, int y)> OnQuorFormMouseMove;
  std::function<void(TQuorDirectForm& sender, bool& canClose)> OnQuorCloseQuery;

  static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept;
  static LRESULT CALLBACK HostHook(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept;

 protected:
  TQuorControlBase* HitTest(int x, int y) override;

 private:
  LRESULT FrameMessage(UINT msg, WPARAM w, LPARAM l);
  // True when the host's previous procedure must not run.
  bool HostMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
  // The resize border under a host-client point, or HTNOWHERE.
  LRESULT ResizeHitTest(POINT client) const;
  void CreateWindows();
  bool Resizable() const;
  void BuildSurface(bool discardParts);
  void BuildMaxSkin(bool force);
  RECT WorkArea() const;
  void CreateCaptionButtons();
  void PlaceCaptionButtons();
  void ComputeRects();
  void DrawLogo();
  void DrawCaption();
  void RefreshChildren();
  void RelayoutAndRedraw();
  void FrameMouseMove(int x, int y, WPARAM keys);
  void SetHostStyleMinimizable();

  THostWindow& FHost;
  TQuorFormProps FProps;
  TQuorFont FCaptionFont;
  HWND FHandle = nullptr;
  WNDPROC FPrevHostProc = nullptr;
  TQuorBitmap FSurface, FCleanNormal, FCleanMax, FBackup;
  std::optional<TNineParts> FParts;
  std::vector<TWDFButton*> FCaptionButtons;
  RECT FCaptionArea{}, FLogoRect{-1, -1, -1, -1}, FCaptionRect{-1, -1, -1, -1};
  POINT FSavedPos{-1, -1};
  TQuorFormState FState = TQuorFormState::QsNormal;
  bool FEnabled = true;
  bool FLoaded = false;
  int FUpdateCount = 0;
  bool FPresentPending = false;
  bool FKeyboardCues = false;
  bool FMinimized = false;
  bool FLogoHover = false;
  bool FLogoDown = false;
  bool FVistaOrLater = true;
  int FPresentCount = 0;
};

}  // namespace quor
