#pragma once
// The skinned edit box: a windowed control that takes the keyboard focus.

#include <functional>
#include <string>
#include <array>
#include <vector>

#include "toolkit/QuorDirectControl.h"
#include "toolkit/QuorEditText.h"

namespace quor {

class TQuorImageList;

class TQuorDirectEdit : public TQuorDirectParentControl {
 public:
  struct TProps {
    TControlProps Control{.Bounds = {0, 0, 160, 28}, .TabStop = true};
    TFontSpec Font;
    TColor Color = 0xFFFFFF;
    std::wstring Text;
    TColor SelColor = 0x00FFFF;
    int Boxoffset = 0;
    TPngImage ImgEdit, ImgInput, ImgPassWord;
    const TQuorImageList* ImageList = nullptr;
    int Imgindex = -1;
    int Imgx1 = 0, ImgX2 = 0;
    wchar_t PasswordChar = 0;
    bool OnlyRead = false, OnlyNumber = false;
    int EditStateCount = 3;
    int OutWidth = 2;
  };
  TQuorDirectEdit(TQuorContainer& parent, const TProps& props);
  ~TQuorDirectEdit() override;

  const std::wstring& Text() const { return FModel.Text(); }
  void SetText(const std::wstring& text);
  const TFontSpec& Font() const { return FProps.Font; }
  void SetFont(const TFontSpec& font);
  TQuorEditText& Model() { return FModel; }
  int FrameIndex() const;

  void DirectPaint(TPaintContext& ctx) override;
  void StatePaint(TPaintContext& ctx) override { DirectPaint(ctx); }

  TNotifyEvent OnChange, OnGetFocus, OnLostFocus;
  std::function<void(TQuorControlBase& sender, wchar_t& key)> OnkeyPress;
  std::function<void(TQuorControlBase& sender, WPARAM key)> OnKeyUp;

 protected:
  void FocusChanged(bool focused) override;
  void KeyDown(WPARAM key) override;
  void CharTyped(wchar_t c) override;
  void MouseDown(int x, int y) override;
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void Changed();
  std::wstring Shown() const;
  // Where the text goes within the control's rectangle `r`.
  RECT TextRect(const RECT& r) const;
  int PositionAt(int x) const;
  UINT_PTR TimerId() const { return reinterpret_cast<UINT_PTR>(this); }

  TProps FProps;
  TQuorFont FFont;
  TQuorEditText FModel;
  std::vector<std::array<TPngImage, 3>> FFrames;
  bool FCaretOn = false;
};

}  // namespace quor
