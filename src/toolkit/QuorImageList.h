#pragma once
// A PNG strip cut into equal images.

#include <memory>
#include <vector>

#include "toolkit/PngImage.h"

namespace quor {

enum class TSplitMode : uint8_t { SmHor, SmVer };

struct TQuorPngitem {
  TPngImage Image;
};

class TQuorImageList {
 public:
  struct TProps {
    TPngImage Image;
    int ImgHeight = 16;
    int ImgWidth = 16;
    TSplitMode SplitMode = TSplitMode::SmHor;
  };
  explicit TQuorImageList(const TProps& props);
  void SetImage(const TPngImage& image);
  // Appends one image; answers its index.
  int Add(TPngImage image);
  // Drops every image, those cut from the strip included.
  void Clear() { FItems.clear(); }

  int Count() const { return int(FItems.size()); }
  // Nothing for an index outside the list.
  const TPngImage* Item(int index) const;

 private:
  void Cut();
  TProps FProps;
  std::vector<TQuorPngitem> FItems;
};

}  // namespace quor
