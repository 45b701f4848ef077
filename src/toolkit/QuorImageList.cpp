#include "toolkit/QuorImageList.h"

#include "toolkit/QuorUtils.h"

namespace quor {

TQuorImageList::TQuorImageList(const TProps& props) : FProps(props) { Cut(); }

void TQuorImageList::SetImage(const TPngImage& image) {
  FProps.Image = image;
  Cut();
}

void TQuorImageList::Cut() {
  FItems.clear();
  const TPngImage& image = FProps.Image;
  const bool hor = FProps.SplitMode == TSplitMode::SmHor;
  const int side = hor ? FProps.ImgWidth : FProps.ImgHeight;
  if (image.Empty() || side <= 0) return;
  const int count = (hor ? image.Width() : image.Height()) / side;
  for (int i = 0; i < count; ++i) {
    const RECT r = hor ? RECT{i * side, 0, (i + 1) * side, image.Height()}
                       : RECT{0, i * side, image.Width(), (i + 1) * side};
    TPngImage item(r.right - r.left, r.bottom - r.top);
    for (int y = 0; y < item.Height(); ++y)
      for (int x = 0; x < item.Width(); ++x)
        for (int c = 0; c < 4; ++c) item.Pixel(x, y)[c] = image.Pixel(r.left + x, r.top + y)[c];
    FItems.push_back({std::move(item)});
  }
}

int TQuorImageList::Add(TPngImage image) {
  FItems.push_back({std::move(image)});
  return Count() - 1;
}

const TPngImage* TQuorImageList::Item(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &FItems[size_t(index)].Image;
}

}  // namespace quor
