#pragma once
// Push buttons: the windowless button (with tab-button groups) and the
// focusable standard button of dialogs.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/QuorDirectControl.h"

namespace quor {

class TQuorImageList;

// Each frame of a state strip stretched to the control: nine-slice when both
// split pairs are ordered, three-slice across when only Left < Right, else as is.
std::vector<TPngImage> StretchStateFrames(const TPngImage& strip, int count,
                                          const TQuorPadding& split, int width, int height);

class TQuorDirectButton : public TQuorDirectControl {
 public:
  struct TProps {
    TControlProps Control{.Bounds = {0, 0, 100, 25}};
    bool AutoSize = true;
    TPngImage ImgBtn;
    int RightLimite = 0;
    int BtnStateCount = 4;
    TQuorPadding BtnSplit;
    std::wstring Caption;
    TPngImage Graph;
    const TQuorImageList* Imagelist = nullptr;
    int Imgindex = -1;
    TQuorLayout Layout = TQuorLayout::qlGlphyLeft;
    bool ButtonTab = false;
    int GroupIndex = -1;
    int GraphTopFix = 0, GraphLeftFix = 0, CaptionTopFix = 0, CaptionLeftFix = 0;
    bool JustCaptionLeft = false, RightJustify = false, CenterJustify = false;
    TQuorBtnStatus BtnStatus = TQuorBtnStatus::bsNormal;
    TFontSpec FontNormal, FontOver, FontDown, FontDisable, FontSelect, FontFocus;
  };
  TQuorDirectButton(TQuorContainer& parent, const TProps& props);

  TQuorBtnStatus BtnStatus() const { return FProps.BtnStatus; }
  void SetBtnStatus(TQuorBtnStatus status);
  const std::wstring& Caption() const { return FProps.Caption; }
  void SetCaption(const std::wstring& caption);
  // The six state fonts: normal, over, down, disabled, selected, focused.
  std::array<TFontSpec, 6> Fonts() const;
  void SetFonts(const std::array<TFontSpec, 6>& fonts);
  bool ButtonTab() const { return FProps.ButtonTab; }
  int GroupIndex() const { return FProps.GroupIndex; }
  // The state the control draws now, and the strip frame that shows it.
  TQuorBtnStatus DrawnStatus() const;
  int FrameIndex() const;

  void MouseDown(int x, int y) override;
  void DirectPaint(TPaintContext& ctx) override;
  void StatePaint(TPaintContext& ctx) override { DirectPaint(ctx); }
  void SetBounds(const TBounds& bounds) override;

  TNotifyEvent OnSelect;

 private:
  const TQuorFont& StateFont(TQuorBtnStatus status) const;
  void DrawCaption(TQuorBitmap& canvas, const RECT& r, int glyphRight);

  TProps FProps;
  std::vector<TPngImage> FFrames;
  TQuorFont FFonts[6];
  bool FCut = false;
  std::wstring FSavedHint;
  bool FSavedShowHint = false;
};

class TQuorDirectStdButton : public TQuorDirectParentControl {
 public:
  struct TProps {
    TControlProps Control{.Bounds = {0, 0, 80, 28}, .TabStop = true};
    TPngImage ImgBtn;
    int AutoSizeFix = 0;
    int BtnStateCount = 5;
    TQuorPadding BtnSplit;
    std::wstring Caption;
    int CaptionTopFix = 0, CaptionLeftFix = 0;
    TFontSpec FontNormal, FontOver, FontDown, FontDisable, FontFocus;
  };
  TQuorDirectStdButton(TQuorContainer& parent, const TProps& props);

  int FrameIndex() const;
  const std::wstring& Caption() const { return FProps.Caption; }
  void SetCaption(const std::wstring& caption);
  // The five state fonts: normal, over, down, disabled, focused.
  std::array<TFontSpec, 5> Fonts() const;
  void SetFonts(const std::array<TFontSpec, 5>& fonts);
  void DirectPaint(TPaintContext& ctx) override;
  void StatePaint(TPaintContext& ctx) override { DirectPaint(ctx); }

 protected:
  void FocusChanged(bool focused) override;
  void KeyDown(WPARAM key) override;

 private:
  void Rebuild();

  TProps FProps;
  std::vector<TPngImage> FFrames;
  TQuorFont FFonts[5];
};

}  // namespace quor
