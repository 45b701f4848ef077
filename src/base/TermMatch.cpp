#include "base/TermMatch.h"

#include "base/Text.h"

namespace quor {
namespace {

constexpr size_t kShortTerm = 4;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/' || c == L'"'; }

size_t ComponentEnd(std::wstring_view text, size_t from) {
  while (from < text.size() && !IsSeparator(text[from])) ++from;
  return from;
}

// "git" against the component "git" or "git.exe".
bool IsWholeComponent(std::wstring_view component, size_t termSize) {
  if (component.size() == termSize) return true;
  if (component[termSize] != L'.' || component.size() == termSize + 1) return false;
  for (size_t i = termSize + 1; i < component.size(); ++i) {
    if (!IsLetterOrDigit(component[i])) return false;
  }
  return true;
}

TTermStrength AtOccurrence(std::wstring_view text, std::wstring_view term, size_t at) {
  const size_t end = at + term.size();
  const bool startsWord = at == 0 || !IsLetterOrDigit(text[at - 1]);
  const bool endsWord = end == text.size() || !IsLetterOrDigit(text[end]);
  if (startsWord && endsWord) {
    const bool startsComponent = at == 0 || IsSeparator(text[at - 1]);
    if (startsComponent) {
      if (term.size() >= kShortTerm) return TTermStrength::Strong;
      if (IsWholeComponent(text.substr(at, ComponentEnd(text, at) - at), term.size())) {
        return TTermStrength::Strong;
      }
    }
    return TTermStrength::Weak;
  }
  return term.size() >= kShortTerm ? TTermStrength::Weak : TTermStrength::None;
}

}  // namespace

TTermStrength MatchWordTerm(std::wstring_view text, std::wstring_view term) noexcept {
  if (term.empty()) return TTermStrength::None;
  TTermStrength best = TTermStrength::None;
  for (size_t at = text.find(term); at != std::wstring_view::npos; at = text.find(term, at + 1)) {
    const TTermStrength here = AtOccurrence(text, term, at);
    if (here == TTermStrength::Strong) return here;
    if (here == TTermStrength::Weak) best = here;
  }
  return best;
}

bool ContainsFolderPath(std::wstring_view text, std::wstring_view folder) noexcept {
  if (folder.empty()) return false;
  for (size_t at = text.find(folder); at != std::wstring_view::npos;
       at = text.find(folder, at + 1)) {
    const size_t end = at + folder.size();
    if (end == text.size()) return true;
    const wchar_t next = text[end];
    if (next == L'\\' || next == L'"' || next == L';' || next == L',') return true;
  }
  return false;
}

bool IsGuidText(std::wstring_view text) noexcept {
  constexpr std::wstring_view shape = L"{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
  if (text.size() != shape.size()) return false;
  for (size_t i = 0; i < shape.size(); ++i) {
    const wchar_t c = text[i];
    if (shape[i] != L'x') {
      if (c != shape[i]) return false;
    } else if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'))) {
      return false;
    }
  }
  return true;
}

}  // namespace quor
