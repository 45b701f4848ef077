#pragma once
// Labels: one text with an optional glyph, and a line of coloured segments.

#include <string>
#include <vector>

#include "toolkit/QuorDirectControl.h"

namespace quor {

enum class TQuorAlignment : uint8_t { Left, Right, Center };

class TQuorDirectLabel : public TQuorDirectControl {
 public:
  struct TProps {
    TControlProps Control{.Bounds = {0, 0, 100, 25}};
    TQuorAlignment Alignment = TQuorAlignment::Left;
    bool SupportMouseOverDown = false;
    TFontSpec Font, FontOver, FontDown;
    std::wstring Caption;
    TPngImage Graph;
    bool WordBreak = false;
  };
  TQuorDirectLabel(TQuorContainer& parent, const TProps& props);

  const std::wstring& Caption() const { return FProps.Caption; }
  void SetCaption(const std::wstring& caption);
  const TFontSpec& Font() const { return FProps.Font; }
  void SetFont(const TFontSpec& font);
  // The fonts of a label that follows the mouse: normal, under the mouse, pressed.
  void SetStateFonts(const TFontSpec& normal, const TFontSpec& over, const TFontSpec& down);
  void SetGraph(const TPngImage& graph);
  // True while the caption is cut and shown as the hint.
  bool CaptionCut() const { return FCut; }

  void DirectPaint(TPaintContext& ctx) override;
  void StatePaint(TPaintContext& ctx) override { DirectPaint(ctx); }

 private:
  TProps FProps;
  TQuorFont FFont, FFontOver, FFontDown;
  bool FCut = false;
  std::wstring FSavedHint;
  bool FSavedShowHint = false;
};

struct TextSegment {
  TColor Color = 0;
  std::wstring FontName = L"Tahoma";
  int Size = 8;
  uint8_t Style = 0;
};

class TQuorDirectColorLabel : public TQuorDirectControl {
 public:
  struct TProps {
    TControlProps Control{.Bounds = {0, 0, 100, 25}};
  };
  TQuorDirectColorLabel(TQuorContainer& parent, const TProps& props);

  void AddText(const std::wstring& text, const TextSegment& segment);
  void ClearText();
  void BeginUpdate() { FSuspended = true; }
  void EndUpdate();
  size_t SegmentCount() const { return FSegments.size(); }

  void DirectPaint(TPaintContext& ctx) override;

 private:
  struct TPiece {
    std::wstring Text;
    TQuorFont Font;
  };
  TProps FProps;
  std::vector<TPiece> FSegments;
  bool FSuspended = false;
};

}  // namespace quor
