#pragma once
// Rows, cells and header columns of the column list box. They belong to a
// TQuorListModel; setters of what changes the picture tell the model, which
// passes it on to its control.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/QuorRect.h"

namespace quor {

class TQuorListModel;
class TQuorLboxItem;

class TQuorlboxSubitem {
 public:
  TQuorlboxSubitem(TQuorLboxItem& owner, std::wstring text, bool isButton);
  TQuorLboxItem& Owner() const { return *FOwner; }
  const std::wstring& Text() const { return FText; }
  void SetText(const std::wstring& text);
  bool IsButton() const { return FIsButton; }

  int ImageIndex = -1;
  bool Truncated = false;  // set once the text was drawn clipped; never reset
  int TextWidth = -1;      // as the control measured it; -1 after a change
  RECT CellRect = kNoRect;

 private:
  TQuorLboxItem* FOwner;
  std::wstring FText;
  bool FIsButton;
};

class TQuorLboxItem {
 public:
  explicit TQuorLboxItem(TQuorListModel& owner) : FOwner(&owner) {}
  TQuorLboxItem(const TQuorLboxItem&) = delete;
  TQuorLboxItem& operator=(const TQuorLboxItem&) = delete;

  TQuorListModel& Owner() const { return *FOwner; }
  const std::wstring& Caption() const { return FCaption; }
  void SetCaption(const std::wstring& caption);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);

  TQuorlboxSubitem& AddSubItem(const std::wstring& text, bool isButton = false);
  int SubItemCount() const { return int(FSubItems.size()); }
  TQuorlboxSubitem* SubItem(int index) const;
  bool HasButton() const { return FHasButton; }

  void* Data = nullptr;  // the application's, not owned
  bool Enabled = true;
  bool Checked = false;
  bool Selected = false;
  // Where the row, its check box, image and caption lie; kNoRect until laid out.
  RECT RowRect = kNoRect;
  RECT TextRect = kNoRect;
  RECT CheckRect = kNoRect;
  int ImageLeft = -1;
  int CaptionWidth = -1;  // as the control measured it; -1 after a change

 private:
  friend class TQuorListModel;
  friend class TQuorlboxSubitem;
  void Changed() const;

  TQuorListModel* FOwner;
  std::wstring FCaption;
  std::vector<std::unique_ptr<TQuorlboxSubitem>> FSubItems;
  int FImageIndex = -1;
  bool FVisible = true;
  bool FHasButton = false;
};

class TQuorLbHeadItem {
 public:
  explicit TQuorLbHeadItem(std::wstring caption = {}, int width = 100)
      : FCaption(std::move(caption)), FWidth(width) {}
  TQuorLbHeadItem(const TQuorLbHeadItem&) = delete;
  TQuorLbHeadItem& operator=(const TQuorLbHeadItem&) = delete;

  TQuorListModel* Owner() const { return FOwner; }
  const std::wstring& Caption() const { return FCaption; }
  void SetCaption(const std::wstring& caption);
  int Width() const { return FWidth; }
  void SetWidth(int width);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);

  int ImageIndex = -1;
  bool AutoSize = false;
  bool Enabled = true;
  bool ShowCheckBox = false;
  bool Resizable = true;
  bool Checked = false;
  bool Sortable = false;
  int SortState = 0;  // 0 no arrow, 1 first arrow frame, 2 second
  RECT CellRect = kNoRect;
  RECT SplitRect = kNoRect;
  RECT CheckRect = kNoRect;

 private:
  friend class TQuorListModel;
  void Changed() const;

  TQuorListModel* FOwner = nullptr;
  std::wstring FCaption;
  int FWidth;
  bool FVisible = true;
};

}  // namespace quor
