#pragma once
// A panel: a windowed container drawn from a three-slice image or a solid colour.

#include "toolkit/QuorDirectControl.h"

namespace quor {

class TQuorDirectPanel : public TQuorDirectParentControl {
 public:
  struct TProps {
    TControlProps Control;
    TColor Color = 0xF9F6F4;
    TQuorPadding ImgSplit;
    TPngImage ImgBack;
  };
  TQuorDirectPanel(TQuorContainer& parent, const TProps& props);

  void SetColor(TColor color);
  void DirectPaint(TPaintContext& ctx) override;
  void StatePaint(TPaintContext&) override {}
  void AlphaChanged() override {}

 private:
  TProps FProps;
};

}  // namespace quor
