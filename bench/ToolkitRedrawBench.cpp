// Redraw cost of a skinned 805 x 476 window with a dozen controls: a full
// redraw with one presentation, and one control's state repaint.
#include <windows.h>

#include "BenchTiming.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "GalleryWindow.h"
#include "toolkit/QuorSkin.h"

namespace quor {
namespace {

class TBenchWindow : public THostWindow {
 public:
  TBenchWindow() : THostWindow({.Left = 40, .Top = 40, .Width = 805, .Height = 476}) {
    Form = std::make_unique<TQuorDirectForm>(*this, SkinnedFrameProps(L"Redraw benchmark"));
    Define();
    Form->Load();
  }
  ~TBenchWindow() override { Form.reset(); }

  std::unique_ptr<TQuorDirectForm> Form;
  TQuorDirectButton* Probe = nullptr;

 private:
  void Define() {
    TQuorDirectForm& f = *Form;
    for (int i = 0; i < 4; ++i) {
      TQuorDirectLabel::TProps label;
      label.Name = L"lbl" + std::to_wstring(i);
      label.Bounds = {30, 60 + i * 30, 300, 24};
      label.Caption = L"A label of the benchmark window, number " + std::to_wstring(i);
      f.Add<TQuorDirectLabel>(label);
    }
    for (int i = 0; i < 4; ++i) {
      TQuorDirectButton::TProps button;
      button.Name = L"btn" + std::to_wstring(i);
      button.Bounds = {30 + i * 160, 200, 150, 34};
      button.ImgBtn = SkinImage(L"button_accent");
      button.BtnSplit = {6, 6, 74, 22};
      button.Caption = L"Command " + std::to_wstring(i);
      button.FontNormal = button.FontOver = {L"Tahoma", DEFAULT_CHARSET, 9, fsBold, 0xFFFFFF};
      auto& b = f.Add<TQuorDirectButton>(button);
      if (i == 0) Probe = &b;
    }
    for (int i = 0; i < 2; ++i) {
      TQuorDirectStdButton::TProps std;
      std.Name = L"std" + std::to_wstring(i);
      std.Bounds = {30 + i * 110, 260, 100, 30};
      std.ImgBtn = SkinImage(L"std_button");
      std.BtnSplit = {6, 6, 74, 22};
      std.Caption = i ? L"Cancel" : L"OK";
      f.Add<TQuorDirectStdButton>(std);
    }
    TQuorDirectProgress::TProps progress;
    progress.Name = L"pgb";
    progress.Bounds = {30, 320, 500, 8};
    progress.ImgBack = SkinImage(L"progress_back");
    progress.ImgFront = SkinImage(L"progress_front");
    progress.ImgSplit = {4, 0, 36, 0};
    progress.Position = 40;
    f.Add<TQuorDirectProgress>(progress);
    TQuorDirectPanel::TProps panel;
    panel.Name = L"pnl";
    panel.Bounds = {9, 433, 787, 34};
    panel.ImgBack = SkinImage(L"panel_back");
    panel.ImgSplit = {2, 0, 18, 0};
    f.Add<TQuorDirectPanel>(panel);
  }
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
  int controls = 0;
  for (auto& c : window.Form->Children()) controls += dynamic_cast<TWDFButton*>(c.get()) == nullptr;
  const double full = MedianMs(200, [&](int) { window.Form->RedrawAll(); });
  const double state = MedianMs(400, [&](int i) {
    if (i % 2 == 0) window.Probe->MouseMove(5, 5, 0);
    else window.Probe->MouseLeave();
  });
  const double present = MedianMs(200, [&](int) { window.Form->Present(); });
  std::printf("window 805x476, %d controls\n", controls);
  std::printf("full redraw + present:      median %.3f ms (200 runs)\n", full);
  std::printf("one control state repaint:  median %.3f ms (400 runs, includes present)\n", state);
  std::printf("present alone:              median %.3f ms (200 runs)\n", present);
  return 0;
}
