#pragma once
// An image control: one picture, or one frame of a strip, with an optional cross-fade.

#include <functional>

#include "toolkit/QuorDirectControl.h"

namespace quor {

class TQuorDirectImage : public TQuorDirectControl {
 public:
  struct TProps {
    TControlProps Control;
    bool AutoSize = false;
    bool Fade = false;
    TPngImage Image;
    int imgcount = 1;
    int imgindex = 0;
  };
  TQuorDirectImage(TQuorContainer& parent, const TProps& props);
  ~TQuorDirectImage() override;

  int imgindex() const { return FProps.imgindex; }
  void SetImgindex(int index);
  void SetImage(const TPngImage& image);
  int FadeOpacity() const { return FFadeOpacity; }

  void DirectPaint(TPaintContext& ctx) override;
  void StatePaint(TPaintContext& ctx) override { DirectPaint(ctx); }

  std::function<void(TQuorControlBase& sender, TQuorBitmap& canvas, const RECT& rect)> OnAfterDrawPaint;

 private:
  void Cut();
  void FadeTick();
  UINT_PTR TimerId() const { return reinterpret_cast<UINT_PTR>(this); }

  TProps FProps;
  std::vector<TPngImage> FFrames;
  int FFadeOpacity = 256;
};

}  // namespace quor
