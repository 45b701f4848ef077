#include "toolkit/QuorEditText.h"

#include <algorithm>
#include <utility>

namespace quor {

void TQuorEditText::SetText(const std::wstring& text) {
  FText = text;
  FCaret = FAnchor = int(FText.size());
  FSelStart = FCaret;
  FSelLength = 0;
}

void TQuorEditText::Select(int start, int length) {
  const int size = int(FText.size());
  FSelStart = std::clamp(start, 0, size);
  FSelLength = std::clamp(length, 0, size - FSelStart);
  FAnchor = FSelStart;
  FCaret = FSelStart + FSelLength;
}

void TQuorEditText::MoveCaret(int position, bool extend) {
  FCaret = std::clamp(position, 0, int(FText.size()));
  if (!extend) FAnchor = FCaret;
  FSelStart = std::min(FAnchor, FCaret);
  FSelLength = std::abs(FCaret - FAnchor);
}

bool TQuorEditText::Accepts(wchar_t c) const {
  if (c < 32) return false;
  return !OnlyNumber || (c >= L'0' && c <= L'9') || c == L'.';
}

bool TQuorEditText::ReplaceSelection(const std::wstring& with) {
  if (OnlyRead || (FSelLength == 0 && with.empty())) return false;
  Remember();
  FText.replace(size_t(FSelStart), size_t(FSelLength), with);
  FCaret = FAnchor = FSelStart + int(with.size());
  FSelStart = FCaret;
  FSelLength = 0;
  return true;
}

bool TQuorEditText::TypeChar(wchar_t c) {
  if (!Accepts(c)) return false;
  return ReplaceSelection(std::wstring(1, c));
}

bool TQuorEditText::Backspace() {
  if (OnlyRead) return false;
  if (FSelLength == 0) {
    if (FSelStart == 0) return false;
    FSelStart -= 1;
    FSelLength = 1;
  }
  return ReplaceSelection(L"");
}

bool TQuorEditText::Delete() {
  if (OnlyRead) return false;
  if (FSelLength == 0) {
    if (FSelStart >= int(FText.size())) return false;
    FSelLength = 1;
  }
  return ReplaceSelection(L"");
}

bool TQuorEditText::Paste(const std::wstring& text) {
  std::wstring accepted;
  for (wchar_t c : text)
    if (Accepts(c)) accepted += c;
  if (accepted.empty()) return false;
  return ReplaceSelection(accepted);
}

bool TQuorEditText::CutSelection() { return FSelLength > 0 && ReplaceSelection(L""); }

bool TQuorEditText::Undo() {
  if (OnlyRead || FUndo == FText) return false;
  std::swap(FText, FUndo);
  FCaret = FAnchor = FSelStart = int(FText.size());
  FSelLength = 0;
  return true;
}

}  // namespace quor
