// The check tree view with 5,000 children in two groups: a full redraw, one
// row's repaint, a page of scrolling and a check propagation over a group,
// each with its presentation, as medians and as ratios to one bare present
// of the same window.
#include <windows.h>

#include "BenchTiming.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "GalleryTreeWindow.h"
#include "GalleryWindow.h"

namespace quor {
namespace {

class TBenchWindow : public THostWindow {
 public:
  TBenchWindow() : THostWindow({.Left = 40, .Top = 40, .Width = 520, .Height = 460}) {
    Form = std::make_unique<TQuorDirectForm>(*this, SkinnedFrameProps(L"Tree benchmark"));
    TQuorDirectTreeView::TProps props = TGalleryTreeWindow::SkinnedTreeProps();
    props.Control.Name = L"tree";
    props.Control.Bounds = {20, 50, 480, 380};
    Tree = &Form->Add<TQuorDirectTreeView>(props);
    Tree->BeginUpdate();
    for (int g = 0; g < 2; ++g) {
      TQuorDTVItem& group = Tree->AddRoot(g ? L"Registry entries" : L"Files and folders");
      Groups.push_back(&group);
      for (int i = 0; i < 2500; ++i)
        Tree->AddChild(group, L"C:\\Program Files\\Contoso Notes\\plugins\\plugin" + std::to_wstring(i) + L".dll");
      group.SetExpanded(true);
    }
    Tree->EndUpdate();
    Form->Load();
  }
  ~TBenchWindow() override { Form.reset(); }

  std::unique_ptr<TQuorDirectForm> Form;
  TQuorDirectTreeView* Tree = nullptr;
  std::vector<TQuorDTVItem*> Groups;
};

using bench::MedianMs;

}  // namespace
}  // namespace quor

int wmain() {
  using namespace quor;
  TBenchWindow window;
  if (!window.Form->Loaded()) {
    std::fprintf(stderr, "no window could be created (is a display available?)\n");
    return 1;
  }
  window.Show(SW_SHOWNOACTIVATE);
  TQuorDirectTreeView& tree = *window.Tree;
  const double present = MedianMs(100, [&](int) { window.Form->Present(); });
  const double full = MedianMs(100, [&](int) { tree.Invalidate(); });
  TQuorDTVItem* row = window.Groups[0]->Child(3);
  const double one = MedianMs(200, [&](int) { tree.RedrawRow(*row, true); });
  const double page = MedianMs(100, [&](int i) {
    const TQuorScrollRange r = tree.Model().VerScroll();
    tree.Model().SetVerPosition(i % 50 == 49 ? 0 : r.Position + r.Page);
    tree.Invalidate();
  });
  tree.Model().SetVerPosition(0);
  const double check = MedianMs(20, [&](int) {
    tree.Model().ClickCheck(*window.Groups[1]);
    tree.Invalidate();
  });
  std::printf("tree 480x380 in a 520x460 window, 2 groups of 2,500 rows\n");
  std::printf("bare present:                median %.3f ms\n", present);
  std::printf("full redraw + present:       median %.3f ms  (%.2fx a present)\n", full, full / present);
  std::printf("one row's RedrawRow:         median %.3f ms  (%.2fx)\n", one, one / present);
  std::printf("scroll one page + present:   median %.3f ms  (%.2fx)\n", page, page / present);
  std::printf("check a group of 2,500:      median %.3f ms  (%.2fx)\n", check, check / present);
  return 0;
}
