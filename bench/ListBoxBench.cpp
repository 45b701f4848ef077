// The column list box with 5,000 rows in the gallery's list window (720 x 500):
// a full redraw, one row's RedrawItem, SortItems by text and a page scroll,
// each with its presentation, against one bare Present of the same window.
// Presenting under Wine drifts with the load of the machine, so every run of
// an operation is paired with a bare Present right before it, and the ratio is
// that of the two medians over the same runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "GalleryListWindow.h"

namespace quor {
namespace {

double Now() {
  LARGE_INTEGER freq, t;
  ::QueryPerformanceFrequency(&freq);
  ::QueryPerformanceCounter(&t);
  return double(t.QuadPart) * 1000.0 / double(freq.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct TFigure {
  double Op = 0, Present = 0;
};

TFigure Measure(TQuorDirectForm& form, int runs, const std::function<void(int)>& op) {
  std::vector<double> ops, presents;
  for (int i = 0; i < runs; ++i) {
    double t = Now();
    form.Present();
    presents.push_back(Now() - t);
    t = Now();
    op(i);
    ops.push_back(Now() - t);
  }
  return {Median(ops), Median(presents)};
}

// The drawing alone: presenting waits while the frame's update is open.
double DrawingOnly(TQuorDirectForm& form, int runs, const std::function<void(int)>& op) {
  TQuorDirectForm::TUpdateGuard held(form);
  std::vector<double> ops;
  for (int i = 0; i < runs; ++i) {
    const double t = Now();
    op(i);
    ops.push_back(Now() - t);
  }
  return Median(ops);
}

int CompareCaptions(const TQuorLboxItem& a, const TQuorLboxItem& b) {
  return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.Caption().c_str(), -1,
                          b.Caption().c_str(), -1) -
         CSTR_EQUAL;
}

}  // namespace
}  // namespace quor

int wmain() {
  using namespace quor;
  constexpr int kRows = 5000;
  TGalleryListWindow window(false, kRows);
  if (!window.Form().Loaded()) {
    std::fprintf(stderr, "no window could be created (is a display available?)\n");
    return 1;
  }
  window.Show(SW_SHOWNOACTIVATE);
  TQuorDirectListBox& list = window.List();
  TQuorDirectForm& form = window.Form();
  if (!list.VerBar()) {
    std::fprintf(stderr, "the list shows no vertical bar\n");
    return 1;
  }

  auto full = [&](int) { list.Invalidate(); };
  auto one = [&](int i) {
    TQuorLboxItem* row = list.Model().RowsInView()[3];
    row->Selected = i % 2 == 0;
    list.RedrawItem(row);
  };
  const int page = list.Model().RowsThatFit();
  const int pages = (list.VisibleCount() - page) / page;
  // Down the list page by page, then back up.
  auto scroll = [&](int i) {
    const int step = i % (2 * pages);
    list.VerBar()->SetPosition((step < pages ? step + 1 : 2 * pages - step - 1) * page);
  };
  auto sort = [&](int i) {
    list.SortItems([i](const TQuorLboxItem& a, const TQuorLboxItem& b) {
      return i % 2 ? CompareCaptions(a, b) : -CompareCaptions(a, b);
    });
  };

  std::printf("list in a 720x500 window, %d rows, %d rows in view; medians\n", kRows, page);
  auto line = [&](const char* what, int runs, const std::function<void(int)>& op) {
    const TFigure f = Measure(form, runs, op);
    std::printf("%-28s %8.3f ms  bare present %7.3f ms  ratio %5.2f  (%d runs)\n", what, f.Op,
                f.Present, f.Op / f.Present, runs);
  };
  line("full redraw + present:", 200, full);
  line("RedrawItem + present:", 400, one);
  line("page scroll + present:", 200, scroll);
  line("SortItems by text + present:", 20, sort);
  std::printf("drawing only: full redraw %.3f ms, RedrawItem %.3f ms, page scroll %.3f ms\n",
              DrawingOnly(form, 200, full), DrawingOnly(form, 400, one),
              DrawingOnly(form, 200, scroll));
  return 0;
}
