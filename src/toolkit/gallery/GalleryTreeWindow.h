#pragma once
// A gallery window with the check tree view, filled like a leftover review:
// files and folders, registry entries, enough rows to scroll.

#include <memory>

#include "toolkit/HostWindow.h"
#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectTreeView.h"
#include "toolkit/QuorImageList.h"

namespace quor {

class TGalleryTreeWindow : public THostWindow {
 public:
  explicit TGalleryTreeWindow(bool mainForm = true);
  ~TGalleryTreeWindow() override;

  TQuorDirectForm& Form() { return *FForm; }
  TQuorDirectTreeView& Tree() { return *FTree; }
  // The tree's usual properties in the project's skin.
  static TQuorDirectTreeView::TProps SkinnedTreeProps();

 private:
  void Fill();

  std::unique_ptr<TQuorImageList> FIcons;
  std::unique_ptr<TQuorDirectForm> FForm;
  TQuorDirectTreeView* FTree = nullptr;
};

}  // namespace quor
