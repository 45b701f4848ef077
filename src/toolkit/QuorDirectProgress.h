#pragma once
// Progress bar: a track, an optional load bar and a front bar chosen by level.

#include <optional>
#include <string>

#include "toolkit/QuorDirectControl.h"

namespace quor {

class TQuorDirectProgress : public TQuorDirectControl {
 public:
  struct TProps {
    TControlProps Control;
    TColor Color = 0xFFFFFF;
    TPngImage ImgBack, ImgLoad, ImgFront, imgWarning, imgpass;
    int WarningLevel = 0, Passlevel = 0;
    std::wstring AheadPrecentStr;
    bool ShowPrecent = false;
    int Min = 0, Max = 100, Position = 0, LoadValue = 0;
    TQuorProgressKind kind = TQuorProgressKind::QpHor;
    TQuorPadding ImgSplit;
    TFontSpec Font;
  };
  TQuorDirectProgress(TQuorContainer& parent, const TProps& props);

  int Position() const { return FProps.Position; }
  void SetPosition(int position);
  int Max() const { return FProps.Max; }
  // A new maximum takes the position and the load value into the range.
  void SetMax(int max);
  int LoadValue() const { return FProps.LoadValue; }
  void SetLoadValue(int value);
  // The filled rectangle of the front bar in control coordinates (empty when nothing is drawn).
  RECT FrontRect() const;

  void DirectPaint(TPaintContext& ctx) override;

 private:
  using TParts = std::optional<TThreeParts>;
  TParts Cut(const TPngImage& image) const;
  bool Horizontal() const { return FProps.kind == TQuorProgressKind::QpHor; }
  int Length() const { return Horizontal() ? Width() : Height(); }
  int Percent(int value) const;
  RECT BarRect(int percent, const TParts& parts, const TPngImage& whole) const;

  TProps FProps;
  TQuorFont FFont;
};

}  // namespace quor
