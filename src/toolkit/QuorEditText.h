#pragma once
// The text, caret and selection of an edit box, with one level of undo.
// Free of windows so that typing rules can be tested directly.

#include <string>

namespace quor {

class TQuorEditText {
 public:
  const std::wstring& Text() const { return FText; }
  void SetText(const std::wstring& text);
  int SelStart() const { return FSelStart; }
  int SelLength() const { return FSelLength; }
  int Caret() const { return FCaret; }
  std::wstring SelText() const { return FText.substr(size_t(FSelStart), size_t(FSelLength)); }
  void Select(int start, int length);
  // Moves the caret; with `extend` the selection grows from its anchor.
  void MoveCaret(int position, bool extend);

  bool OnlyNumber = false;
  bool OnlyRead = false;

  // Each returns whether the text changed.
  bool TypeChar(wchar_t c);
  bool Backspace();
  bool Delete();
  bool Paste(const std::wstring& text);
  bool CutSelection();
  bool Undo();

 private:
  bool Accepts(wchar_t c) const;
  bool ReplaceSelection(const std::wstring& with);
  void Remember() { FUndo = FText; }

  std::wstring FText;
  std::wstring FUndo;
  int FSelStart = 0;
  int FSelLength = 0;
  int FCaret = 0;
  int FAnchor = 0;
};

}  // namespace quor
