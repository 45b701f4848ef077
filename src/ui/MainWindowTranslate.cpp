// Applies the language in use to the main window: fonts first, then every
// text, in one update so that the window presents once.

#include "app/LangText.h"
#include "ui/MainWindow.h"

namespace quor {
namespace {

constexpr TColor kMenuText = RGB(56, 56, 56);

TFontSpec WithFace(TFontSpec target, const TFontSpec& face) {
  CopyFontFace(target, face);
  return target;
}

std::wstring Translation(const std::wstring& key, const std::wstring& fallback) {
  return GetLangText(L"Translation", key, fallback);
}

void TranslateMenuItems(TQuorPopupMenu& menu) {
  for (int i = 0; i < menu.Count(); ++i) {
    TQuorMenuItem* item = menu.Items(i);
    if (item) item->Caption = Translation(item->Name, item->Caption);
  }
}

}  // namespace

void TFrmMain::TranslateMainWindow() {
  TQuorDirectForm::TUpdateGuard update(*FForm);
  // 1. The window font.
  FFont.Charset = GetLangCharset();
  FFont.Name = GetLangFontName();
  FFont.Size = GetLangFontSize();

  // 2. Fonts of the message box, the menus, the busy window and the search box.
  const auto& box = wmsg1->Props();
  wmsg1->SetFonts(WithFace(box.FontTitle, FFont), WithFace(box.FontMsg, FFont),
                  WithFace(box.FontBtn, FFont));
  for (TQuorPopupMenu* menu : {pmsys.get(), pmbtn.get()}) {
    const auto& p = menu->Props();
    TFontSpec normal = WithFace(p.FontNormal, FFont);
    if (menu == pmsys.get()) normal.Color = kMenuText;
    menu->SetFonts(normal, WithFace(p.FontOver, FFont), WithFace(p.FontDown, FFont),
                   WithFace(p.FontDisable, FFont), WithFace(p.FontSelect, FFont));
  }
  whintwin1->SetFont(WithFace(whintwin1->Props().Font, FFont));
  edtserach->SetFont(WithFace(edtserach->Font(), FFont));

  // 3. Message box buttons and the frame's button hints.
  wmsg1->SetButtonCaptions(GetLangText(L"GUI", L"ButtonYes", L"Yes"),
                           GetLangText(L"GUI", L"ButtonNo", L"No"),
                           GetLangText(L"GUI", L"ButtonOK", L"OK"));
  const std::pair<const wchar_t*, const wchar_t*> hints[] = {
      {L"BtnMin", L"ButtonMinimize"}, {L"BtnMax", L"ButtonMaximize"},
      {L"BtnClose", L"ButtonClose"},  {L"BtnRestore", L"ButtonRestore"},
      {L"BtnMenu", L"ButtonMenu"},    {L"BtnSkin", L"ButtonSkin"}};
  const auto& frame = FForm->Props();
  const std::wstring current[] = {frame.BtnMinHint,     frame.BtnMaxHint,  frame.BtnCloseHint,
                                  frame.BtnRestoreHint, frame.BtnMenuHint, frame.BtnSkinHint};
  for (size_t i = 0; i < std::size(hints); ++i)
    FForm->SetCaptionHint(hints[i].first, GetLangText(L"GUI", hints[i].second, current[i]));

  // 4. The frame's caption.
  FForm->SetCaptionFont(WithFace(frame.CaptionFont, FFont));

  // 5. Top-level menu items by name.
  TranslateMenuItems(*pmsys);
  TranslateMenuItems(*pmbtn);

  // 6. The list: fonts and column titles.
  static const wchar_t* const kColumnKeys[] = {L"ItemName", L"Publisher", L"Size", L"SetupDate",
                                               L"Version"};
  lstFile->SetFonts(WithFace(lstFile->Props().Font, FFont),
                    WithFace(lstFile->Props().HeaderFont, FFont));
  for (int i = 0; i < lstFile->HeadCount() && i < int(std::size(kColumnKeys)); ++i) {
    TQuorLbHeadItem* column = lstFile->GetHeadItem(i);
    column->SetCaption(GetLangText(L"Uninstall", kColumnKeys[i], column->Caption()));
  }
  lstFile->Invalidate();

  // 7. The push buttons (none has a bold font, so none grows).
  for (TQuorDirectButton* b : {BtnNormal, btnmodify, btnforce, btnremove, btnlikeit}) {
    auto fonts = b->Fonts();
    for (TFontSpec& f : fonts) CopyFontFace(f, FFont);
    b->SetFonts(fonts);
    const std::wstring prefix = L"FrmMain." + b->Name();
    b->SetHint(Translation(prefix + L".hint", b->Hint()));
    b->SetShowHint(!b->Hint().empty());
    if (!b->Caption().empty()) b->SetCaption(Translation(prefix + L".caption", b->Caption()));
  }

  // 8-10. The labels.
  lblver->SetFont(WithFace(lblver->Font(), FFont));
  lblver->SetCaption(Translation(L"CurVer", L"CurVer:") + L" " + FVersionText);
  TFontSpec info = WithFace(lblinfo->Font(), FFont);
  ++info.Size;
  lblinfo->SetFont(info);
  lblinfo->SetCaption(Translation(L"FrmMain.lblinfo.caption", lblinfo->Caption()));
  const TFontSpec link = WithFace(lblcheckver->Font(), FFont);
  TFontSpec linkOver = link;
  linkOver.Style = fsUnderline;
  lblcheckver->SetStateFonts(link, linkOver, linkOver);
  lblcheckver->SetCaption(Translation(L"FrmMain.lblcheckver.Caption", lblcheckver->Caption()));

  // 11. The totals line, once the list has rows.
  if (lstFile->ItemCount() > 0) ShowTotals();
}

}  // namespace quor
