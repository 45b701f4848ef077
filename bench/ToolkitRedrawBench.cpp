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
    for (int i = 0; i < 4; ++i)
      f.Add<TQuorDirectLabel>(
          {.Control = {.Name = L"lbl" + std::to_wstring(i), .Bounds = {30, 60 + i * 30, 300, 24}},
           .Caption = L"A label of the benchmark window, number " + std::to_wstring(i)});
    const TFontSpec white{L"Tahoma", DEFAULT_CHARSET, 9, fsBold, 0xFFFFFF};
    for (int i = 0; i < 4; ++i) {
      auto& b = f.Add<TQuorDirectButton>(
          {.Control = {.Name = L"btn" + std::to_wstring(i), .Bounds = {30 + i * 160, 200, 150, 34}},
           .ImgBtn = SkinImage(L"button_accent"),
           .BtnSplit = {6, 6, 74, 22},
           .Caption = L"Command " + std::to_wstring(i),
           .FontNormal = white,
           .FontOver = white});
      if (i == 0) Probe = &b;
    }
    for (int i = 0; i < 2; ++i)
      f.Add<TQuorDirectStdButton>({.Control = {.Name = L"std" + std::to_wstring(i),
                                               .Bounds = {30 + i * 110, 260, 100, 30},
                                               .TabStop = true},
                                   .ImgBtn = SkinImage(L"std_button"),
                                   .BtnSplit = {6, 6, 74, 22},
                                   .Caption = i ? L"Cancel" : L"OK"});
    f.Add<TQuorDirectProgress>({.Control = {.Name = L"pgb", .Bounds = {30, 320, 500, 8}},
                                .ImgBack = SkinImage(L"progress_back"),
                                .ImgFront = SkinImage(L"progress_front"),
                                .Position = 40,
                                .ImgSplit = {4, 0, 36, 0}});
    f.Add<TQuorDirectPanel>({.Control = {.Name = L"pnl", .Bounds = {9, 433, 787, 34}},
                             .ImgSplit = {2, 0, 18, 0},
                             .ImgBack = SkinImage(L"panel_back")});
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
