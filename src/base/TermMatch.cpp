#include "base/TermMatch.h"

#include <algorithm>
#include <string>

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

bool IsFolderBoundary(wchar_t c) { return c == L'\\' || c == L'"' || c == L';' || c == L','; }

bool IsBlank(wchar_t c) { return c <= 32; }

size_t SkipBlanks(std::wstring_view text, size_t at = 0) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

// "c:\", "c:/", "\\" or "%name%\" at the start.
bool BeginsWithPath(std::wstring_view text) {
  if (text.size() >= 3 &&
      ((text[0] >= L'a' && text[0] <= L'z') || (text[0] >= L'A' && text[0] <= L'Z')) &&
      text[1] == L':' && (text[2] == L'\\' || text[2] == L'/')) {
    return true;
  }
  if (text.size() >= 3 && text[0] == L'\\' && text[1] == L'\\') return true;
  if (!text.empty() && text[0] == L'%') {
    const size_t close = text.find(L'%', 1);
    return close != std::wstring_view::npos && close > 1 && close + 1 < text.size() &&
           (text[close + 1] == L'\\' || text[close + 1] == L'/');
  }
  return false;
}

// Where an unquoted program name ends: after ".exe" and its kind followed
// by the end, a blank, a comma or a quote; npos when there is none.
size_t ProgramNameEnd(std::wstring_view text) {
  static constexpr std::wstring_view kExtensions[] = {L".exe", L".com", L".bat", L".cmd",
                                                      L".dll", L".scr", L".cpl", L".msc"};
  for (size_t at = text.find(L'.'); at != std::wstring_view::npos; at = text.find(L'.', at + 1)) {
    for (const auto ext : kExtensions) {
      if (text.size() - at < ext.size()) continue;
      bool same = true;
      for (size_t i = 0; i < ext.size() && same; ++i) same = LowerAscii(text[at + i]) == ext[i];
      const size_t end = at + ext.size();
      if (same &&
          (end == text.size() || IsBlank(text[end]) || text[end] == L',' || text[end] == L'"')) {
        return end;
      }
    }
  }
  return std::wstring_view::npos;
}

// A blank followed by a switch or a quote.
size_t ArgumentStart(std::wstring_view text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (!IsBlank(text[i])) continue;
    const wchar_t next = text[i + 1];
    if (next == L'/' || next == L'"') return i;
    if (next == L'-' && i + 2 < text.size() && !IsBlank(text[i + 2])) return i;
  }
  return text.size();
}

}  // namespace

std::wstring_view LeadPath(std::wstring_view text) noexcept {
  const size_t start = SkipBlanks(text);
  text.remove_prefix(start);
  if (!text.empty() && text.front() == L'"') {
    text.remove_prefix(1);
    const size_t close = text.find(L'"');
    if (close != std::wstring_view::npos) text = text.substr(0, close);
    return BeginsWithPath(text) ? text : std::wstring_view();
  }
  if (!BeginsWithPath(text)) return {};
  return text.substr(0, std::min(ProgramNameEnd(text), ArgumentStart(text)));
}

std::wstring WithoutSwitches(std::wstring_view text) {
  std::wstring out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    const bool starts = (out[i] == L'/' || out[i] == L'-') && (i == 0 || IsBlank(out[i - 1]));
    if (!starts) continue;
    while (i < out.size() && !IsBlank(out[i]) && out[i] != L'"' && out[i] != L'=' &&
           out[i] != L':') {
      out[i++] = L' ';
    }
  }
  return out;
}

bool StartsWithFolderPath(std::wstring_view text, std::wstring_view folder) noexcept {
  if (folder.empty()) return false;
  size_t at = SkipBlanks(text);
  if (at < text.size() && text[at] == L'"') ++at;
  if (text.size() - at < folder.size() || text.substr(at, folder.size()) != folder) return false;
  const size_t end = at + folder.size();
  return end == text.size() || IsFolderBoundary(text[end]);
}

TTermStrength MatchValueTerm(std::wstring_view text, std::wstring_view term) {
  if (term.empty()) return TTermStrength::None;
  const std::wstring_view lead = LeadPath(text);
  if (!lead.empty() && MatchWordTerm(lead, term) == TTermStrength::Strong)
    return TTermStrength::Strong;
  return MatchWordTerm(WithoutSwitches(text), term) == TTermStrength::None ? TTermStrength::None
                                                                           : TTermStrength::Weak;
}

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
    if (IsFolderBoundary(text[end])) return true;
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
