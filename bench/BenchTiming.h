#pragma once
// The median time of repeated runs, for the benchmarks' figures.
#include <windows.h>

#include <algorithm>
#include <vector>

namespace quor::bench {

// Runs `fn(i)` for i = 0 .. runs - 1 and answers the median duration in milliseconds.
template <typename Fn>
double MedianMs(int runs, Fn&& fn) {
  LARGE_INTEGER freq, a, b;
  ::QueryPerformanceFrequency(&freq);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    ::QueryPerformanceCounter(&a);
    fn(i);
    ::QueryPerformanceCounter(&b);
    times.push_back(double(b.QuadPart - a.QuadPart) * 1000.0 / double(freq.QuadPart));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace quor::bench
