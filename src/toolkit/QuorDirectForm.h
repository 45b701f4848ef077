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

// A caption button: three frames (normal, over, down) cut from one strip.
class TWDFButton : public TQuorDirectControl {
 public:
  TWDFButton(TQuorContainer& parent, const TControlProps& props);
  void SetStrip(const TPngImage& strip);
  void DirectPaint(TQuorBitmap& canvas) override;
  void StatePaint(TQuorBitmap& canvas) override { DirectPaint(canvas); }

  TPngImage BtnNormal, BtnOver, BtnDown, BtnBack;
  bool Placed = false;
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
};

class TQuorDirectForm : public TQuorContainer {
 public:
  static constexpr int kCaptionHeight = 30;

  TQuorDirectForm(THostWindow& host, TQuorFormProps props);
  ~TQuorDirectForm() override;
  TQuorDirectForm(const TQuorDirectForm&) = delete;
  TQuorDirectForm& operator=(const TQuorDirectForm&) = delete;

  // The loading steps: layered style, hook, surface, caption buttons, children, Present.
  void Load();
  bool Loaded() const { return FLoaded; }

  // Painting protocol.
  void Present();
  void RedrawControl(TQuorDirectControl& control);
  void RepaintControlState(TQuorDirectControl& control);
  void RepaintParentState(TQuorDirectParentControl& control);
  void RedrawContainer(TQuorDirectParentControl& control);
  void SnapshotBackground(TQuorControlBase& control);

  // Repaints the whole surface from the clean skin and every child, then presents once.
  void RedrawAll();
  void Maximize();
  void Restore();
  void Minimize();
  void CloseClick();

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

  TQuorBitmap& Surface() { return FSurface; }
  const TQuorBitmap& CleanSkin() const;
  THostWindow& Host() { return FHost; }
  HWND Handle() const { return FHandle; }
  RECT CaptionArea() const { return FCaptionArea; }
  RECT LogoRect() const { return FLogoRect; }
  RECT CaptionRect() const { return FCaptionRect; }
  TWDFButton* CaptionButton(const std::wstring& name) const;
  bool PresentLocked() const { return FPresentLocked; }
  int PresentCount() const { return FPresentCount; }

  void ShowControlHint(TQuorControlBase& control, const std::wstring& text);
  void CancelControlHint(TQuorControlBase& control);

  // TQuorContainer
  HWND ContainerHandle() const override { return FHandle; }
  TQuorDirectForm* ContainerFrame() override { return this; }
  POINT SurfaceOrigin() const override { return {0, 0}; }
  bool ContainerShowing() const override { return true; }

  TNotifyEvent OnLogoClick, OnBtnMenuClick, OnBtnSkinClick, FirstFormShow, OnBackGroundPaint,
      OnMinSize, OnQuorFormLeave, OnQuorSkinChange, OnQuorFormMax, OnQuorFormRestore;
  std::function<void(void* sender, TQuorBitmap& canvas)> OnQuorFormPaint;
  std::function<void(void* sender, WPARAM keys, int x, int y)> OnQuorFormMouseMove;
  std::function<void(void* sender, bool& canClose)> OnQuorCloseQuery;

  static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept;
  static LRESULT CALLBACK HostHook(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept;

 protected:
  TQuorControlBase* HitTest(int x, int y) override;

 private:
  LRESULT FrameMessage(UINT msg, WPARAM w, LPARAM l);
  // True when the host's previous procedure must not run.
  bool HostMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
  bool Resizable() const;
  void BuildSurface(bool discardParts);
  void BuildMaxSkin(bool force);
  RECT WorkArea() const;
  void CreateCaptionButtons();
  void PlaceCaptionButtons();
  void ComputeRects();
  void DrawLogo();
  void DrawCaption();
  void DrawCaptionButtons();
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
  std::vector<TQuorControlBase*> FRegistered;
  std::vector<TWDFButton*> FCaptionButtons;
  RECT FCaptionArea{}, FLogoRect{-1, -1, -1, -1}, FCaptionRect{-1, -1, -1, -1};
  POINT FSavedPos{-1, -1};
  TQuorFormState FState = TQuorFormState::QsNormal;
  bool FEnabled = true;
  bool FLoaded = false;
  bool FPresentLocked = false;
  bool FMinimized = false;
  bool FLogoHover = false;
  bool FLogoDown = false;
  bool FVistaOrLater = true;
  int FPresentCount = 0;
};

// Locks presentation for a batch of changes and presents once at the end.
class TPresentBatch {
 public:
  explicit TPresentBatch(TQuorDirectForm& frame, bool& lock) : FFrame(frame), FLock(lock) {
    FLock = true;
  }
  ~TPresentBatch() {
    FLock = false;
    FFrame.Present();
  }
  TPresentBatch(const TPresentBatch&) = delete;
  TPresentBatch& operator=(const TPresentBatch&) = delete;

 private:
  TQuorDirectForm& FFrame;
  bool& FLock;
};

}  // namespace quor
