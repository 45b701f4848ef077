#include "GalleryTreeWindow.h"

#include <string>

#include "GalleryWindow.h"
#include "toolkit/QuorSkin.h"

namespace quor {

TQuorDirectTreeView::TProps TGalleryTreeWindow::SkinnedTreeProps() {
  return {.Font = {L"Tahoma", DEFAULT_CHARSET, 9, 0, 0x453A33},
          .FontColorNormal = 0x453A33,
          .FontColorOver = 0xE06C2B,
          .FontColorDown = 0xB8551F,
          .FontColorDisable = 0xA0938A,
          .Imgitem = SkinImage(L"row_highlight"),
          .itemsplit = {4, 0, 16, 0},
          .ImgCheck = SkinImage(L"check6"),
          .CheckStateCount = 6,
          .ShowCheckBox = true,
          .ImgBtnPlus = SkinImage(L"tree_button"),
          .VerScrollRes = SkinnedScrollRes(true),
          .HorScrollRes = SkinnedScrollRes(false)};
}

TGalleryTreeWindow::TGalleryTreeWindow(bool mainForm)
    : THostWindow({.Caption = L"Tree gallery", .Left = 120, .Top = 80, .Width = 520,
                   .Height = 460, .MainForm = mainForm}) {
  FIcons = std::make_unique<TQuorImageList>(TQuorImageList::TProps{.Image = SkinImage(L"item_icons")});
  FForm = std::make_unique<TQuorDirectForm>(*this, SkinnedFrameProps(L"Leftovers found"));
  TQuorDirectTreeView::TProps tree = SkinnedTreeProps();
  tree.Control.Name = L"tvLeftovers";
  tree.Control.Bounds = {20, 50, 480, 380};
  tree.Imagelist = FIcons.get();
  FTree = &FForm->Add<TQuorDirectTreeView>(tree);
  Fill();
  FForm->Load();
}

TGalleryTreeWindow::~TGalleryTreeWindow() { FForm.reset(); }

void TGalleryTreeWindow::Fill() {
  TQuorDirectTreeView& t = *FTree;
  t.BeginUpdate();
  TQuorDTVItem& files = t.AddRoot(L"Files and folders (24)");
  files.SetImageIndex(0);
  for (int i = 0; i < 24; ++i) {
    TQuorDTVItem& row = t.AddChild(files, i % 3 == 0
        ? L"C:\\Users\\Demo\\AppData\\Local\\Contoso Notes\\cache" + std::to_wstring(i)
        : L"C:\\Program Files\\Contoso Notes\\plugins\\plugin" + std::to_wstring(i) + L".dll");
    row.SetImageIndex(i % 3 == 0 ? 0 : 1);
    row.SetCheckState(i % 4 == 0 ? kCheckClear : kCheckTicked);
  }
  TQuorDTVItem& registry = t.AddRoot(L"Registry entries (6)");
  registry.SetImageIndex(2);
  for (int i = 0; i < 6; ++i) {
    TQuorDTVItem& row = t.AddChild(registry, L"HKEY_CURRENT_USER\\Software\\Contoso\\Notes\\Key" + std::to_wstring(i));
    row.SetImageIndex(2);
    row.SetCheckState(kCheckTicked);
  }
  files.SetCheckState(kCheckPartial);
  registry.SetCheckState(kCheckTicked);
  files.SetExpanded(true);
  registry.SetExpanded(true);
  t.EndUpdate();
}

}  // namespace quor
