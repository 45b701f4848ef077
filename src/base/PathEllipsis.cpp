#include "base/PathEllipsis.h"

#include <vector>

namespace quor {
namespace {

// Position after the `count`-th backslash at or after `from`, or npos.
size_t AfterBackslashes(std::wstring_view path, size_t from, int count) {
  for (size_t at = from; at < path.size(); ++at) {
    if (path[at] == L'\\' && --count == 0) return at + 1;
  }
  return std::wstring_view::npos;
}

bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

bool IsDriveRoot(std::wstring_view text) {
  return text.size() >= 3 && text[1] == L':' && text[2] == L'\\' &&
         ((text[0] >= L'A' && text[0] <= L'Z') || (text[0] >= L'a' && text[0] <= L'z'));
}

// The parts after the root, each with its backslash; the last may end without one.
std::vector<std::wstring_view> PartsAfter(std::wstring_view rest) {
  std::vector<std::wstring_view> parts;
  size_t from = 0;
  while (from < rest.size()) {
    size_t end = rest.find(L'\\', from);
    end = end == std::wstring_view::npos ? rest.size() : end + 1;
    parts.push_back(rest.substr(from, end - from));
    from = end;
  }
  return parts;
}

// The longest `count` in [0, limit] for which fits(count) holds, fits being
// true up to some count and false after it.
template <class Fits>
size_t LongestFitting(size_t limit, const Fits& fits) {
  size_t low = 0, high = limit;
  while (low < high) {
    const size_t mid = low + (high - low + 1) / 2;
    if (fits(mid))
      low = mid;
    else
      high = mid - 1;
  }
  return low;
}

// The root and the last part with as many folders next to them as fit, or
// empty when not even the root, the ellipsis and the last part fit.
std::wstring DropMiddleFolders(std::wstring_view root, const std::vector<std::wstring_view>& parts,
                               int width, const TTextWidth& measure) {
  const size_t middle = parts.size() - 1;  // the folders between the root and the last part
  size_t front = 0, back = 0;
  auto compose = [&](size_t f, size_t b) {
    std::wstring text(root);
    for (size_t i = 0; i < f; ++i) text += parts[i];
    text += kEllipsis;
    text += L'\\';
    for (size_t i = middle - b; i < parts.size(); ++i) text += parts[i];
    return text;
  };
  std::wstring best = compose(0, 0);
  if (measure(best) > width) return {};
  // At least one folder stays out: that is where the ellipsis stands.
  for (const bool atBack : {true, false}) {
    while (front + back + 1 < middle) {
      std::wstring wider = atBack ? compose(front, back + 1) : compose(front + 1, back);
      if (measure(wider) > width) break;
      (atBack ? back : front) += 1;
      best = std::move(wider);
    }
  }
  return best;
}

}  // namespace

size_t PathRootLength(std::wstring_view path) {
  size_t end = std::wstring_view::npos;
  if (path.starts_with(L"\\\\?\\UNC\\"))
    end = AfterBackslashes(path, 8, 2);
  else if (path.starts_with(L"\\\\?\\") && IsDriveRoot(path.substr(4)))
    end = 7;
  else if (path.starts_with(L"\\\\"))
    end = AfterBackslashes(path, 2, 2);
  else if (IsDriveRoot(path))
    end = 3;
  else
    end = AfterBackslashes(path, 0, 1);
  return end == std::wstring_view::npos ? 0 : end;
}

std::wstring ShortenPathMiddle(std::wstring_view path, int width, const TTextWidth& measure) {
  if (measure(path) <= width) return std::wstring(path);
  const size_t rootLength = PathRootLength(path);
  const std::wstring_view root = path.substr(0, rootLength), rest = path.substr(rootLength);
  if (rootLength > 0) {
    const std::vector<std::wstring_view> parts = PartsAfter(rest);
    if (parts.size() >= 2) {
      std::wstring text = DropMiddleFolders(root, parts, width, measure);
      if (!text.empty()) return text;
    }
    const std::wstring head = std::wstring(root) + kEllipsis;
    size_t tail = LongestFitting(rest.size(), [&](size_t n) {
      return measure(head + std::wstring(rest.substr(rest.size() - n))) <= width;
    });
    if (tail > 0 && IsLowSurrogate(rest[rest.size() - tail])) --tail;  // never half a character
    if (tail > 0) return head + std::wstring(rest.substr(rest.size() - tail));
  }
  if (measure(kEllipsis) > width) return {};
  size_t start = LongestFitting(path.size(), [&](size_t n) {
    return measure(std::wstring(path.substr(0, n)) + kEllipsis) <= width;
  });
  if (start > 0 && IsHighSurrogate(path[start - 1])) --start;
  return std::wstring(path.substr(0, start)) + kEllipsis;
}

}  // namespace quor
