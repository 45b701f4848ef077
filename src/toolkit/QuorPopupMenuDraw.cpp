// Drawing one popup-menu level into its window's bitmap: the nine-slice background (kept
// while the size stays), highlight strips, marks, images, captions, shortcut texts,
// submenu arrows and scroll buttons.
#include <algorithm>

#include "toolkit/QuorPopupMenu.h"

namespace quor {
namespace {

// A disabled item's image: grey, at half its opacity.
TPngImage DisabledLook(const TPngImage& image) {
  TPngImage out = image;
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) {
      uint8_t* p = out.Pixel(x, y);
      const auto grey = uint8_t(0.3 * p[2] + 0.59 * p[1] + 0.11 * p[0]);
      p[0] = p[1] = p[2] = grey;
      p[3] = uint8_t(p[3] / 2);
    }
  return out;
}

void DrawCentredAt(TQuorBitmap& canvas, const TPngImage& image, int x, const RECT& row) {
  image.Draw(canvas, x, row.top + (row.bottom - row.top - image.Height()) / 2);
}

RECT TextRect(int left, const RECT& row, SIZE size) {
  const int top = row.top + (row.bottom - row.top - size.cy) / 2;
  return {left, top, left + size.cx, top + size.cy};
}

}  // namespace

void TQuorPopupMenu::DrawLevel(int level) {
  const TMenuLevel& lv = FModel.Level(level);
  TQuorMenuForm& form = *FForms[size_t(level)];
  if (form.Back.Width() != lv.Width || form.Back.Height() != lv.Height) {
    if (FStrips.Back) DrawNineParts(form.Back, lv.Width, lv.Height, *FStrips.Back);
    else form.Back.SetSize(lv.Width, lv.Height);
    if (FProps.HaveBar) {
      const int aw = FProps.AlphaWidth;
      const int barRight = aw + FProps.ImgBar.Width();
      if (!FProps.ImgBar.Empty()) FProps.ImgBar.Draw(form.Back, {aw, aw, barRight, lv.Height - aw});
      int bottom = lv.Height - aw - 2;
      for (const TPngImage* img : {&FProps.ImgBarLogo, &FProps.ImgBarCaption}) {
        if (img->Empty()) continue;
        img->Draw(form.Back, aw + (FProps.ImgBar.Width() - img->Width()) / 2, bottom - img->Height());
        bottom -= img->Height() + 2;
      }
    }
  }
  form.Surface.CopyFrom(form.Back);
  for (const TQuorMenuItem* item : lv.Shown) DrawItem(form.Surface, *item);
  if (lv.Scrolling) DrawScrollButtons(form.Surface, lv);
}

void TQuorPopupMenu::DrawItem(TQuorBitmap& canvas, const TQuorMenuItem& item) {
  const RECT& r = item.ItemRect;
  if (item.IsSeparator()) {
    if (!FProps.ImgLine.Empty()) FProps.ImgLine.Draw(canvas, r);
    return;
  }
  const int frame = FModel.HighlightFrameOf(item);
  if (frame >= 0 && frame < int(FStrips.Item.size())) {
    const TQuorPadding& s = FProps.ItemSplit;
    if (auto strip = StretchThreePartHor(FStrips.Item[size_t(frame)], s.Left(), s.Right(), 255,
                                         clNone, r.right - r.left))
      strip->Draw(canvas, r);
  }

  int x = r.left + 2;
  const std::vector<TPngImage>& marks = item.RadioItem ? FStrips.Radio : FStrips.Check;
  const TQuorImageList* images = FProps.ImageList;
  if (item.Checked && !marks.empty()) {
    const TPngImage& mark = marks[item.Enabled ? 0 : 1];
    DrawCentredAt(canvas, mark, x, r);
    x += mark.Width();
  } else if (images) {
    if (const TPngImage* image = images->Item(item.ImageIndex))
      DrawCentredAt(canvas, item.Enabled ? *image : DisabledLook(*image), x, r);
    x += FModel.Metrics.ImageWidth + 2;
  } else if (!FStrips.Check.empty()) {
    x += FStrips.Check[0].Width();
  } else {
    x = r.left + 6;
  }

  const TQuorFont& font = FontOf(FModel.FontStateOf(item));
  BOOL cues = TRUE;
  ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0);
  const UINT captionFormat = DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS | (cues ? 0 : DT_HIDEPREFIX);
  DrawText(canvas, TextRect(x, r, item.CaptionSize), item.Caption, font, captionFormat);

  const int arrowRight = r.right - 2;
  const int arrowWidth = FStrips.SubArrow.empty() ? 0 : FStrips.SubArrow[0].Width();
  if (item.ShortCut != scNone) {
    const int right = item.HasChildren() ? arrowRight - arrowWidth - 2 : r.right - 2;
    DrawText(canvas, TextRect(right - item.ShortCutSize.cx, r, item.ShortCutSize),
             ShortCutToText(item.ShortCut), font, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (item.HasChildren() && arrowWidth > 0) {
    const int count = int(FStrips.SubArrow.size());
    int state = 0;
    if (!item.Enabled) state = 2;
    else if (frame == 0 || frame == 1) state = 1;
    DrawCentredAt(canvas, FStrips.SubArrow[size_t(std::min(state, count - 1))],
                  arrowRight - arrowWidth, r);
  }
}

void TQuorPopupMenu::DrawScrollButtons(TQuorBitmap& canvas, const TMenuLevel& lv) {
  if (FStrips.UpDown.size() < 6) return;
  auto frameOf = [](bool hot, bool pressed) { return pressed ? 2 : hot ? 1 : 0; };
  FStrips.UpDown[size_t(frameOf(lv.UpHot, lv.UpPressed))].Draw(canvas, lv.UpButton);
  FStrips.UpDown[size_t(3 + frameOf(lv.DownHot, lv.DownPressed))].Draw(canvas, lv.DownButton);
}

void TQuorPopupMenu::DrawText(TQuorBitmap& canvas, const RECT& rect, const std::wstring& text,
                              const TQuorFont& font, UINT format) {
  const RECT r{std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0),
               std::min<LONG>(rect.right, canvas.Width()),
               std::min<LONG>(rect.bottom, canvas.Height())};
  if (text.empty() || r.right <= r.left || r.bottom <= r.top) return;
  if (auto image = RenderTextImage(canvas, text, font, r, format)) image->Draw(canvas, r.left, r.top);
}

}  // namespace quor
