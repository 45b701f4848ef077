#pragma once
// The project's skin as property values: the frame, scroll bars, column list,
// popup menu and message box that every window of the program shares.

#include <string>

#include "toolkit/QuorDirectForm.h"
#include "toolkit/QuorDirectListBox.h"
#include "toolkit/QuorDirectScrollBar.h"
#include "toolkit/QuorImageList.h"
#include "toolkit/QuorMessageBox.h"
#include "toolkit/QuorPopupMenu.h"

namespace quor {

TQuorFormProps SkinnedFrameProps(const std::wstring& caption);
// The dialog frame's skin stretched to a fixed size: a frame that cannot be
// resized takes its image's size.
TPngImage SkinnedDialogImage(int width, int height);
TQuorScrollBarRes SkinnedScrollRes(bool vertical);
TQuorDirectListBox::TProps SkinnedListProps();
TQuorPopupMenu::TProps SkinnedMenuProps(const TQuorImageList* images);
TQuorMessageBox::TProps SkinnedMessageBoxProps();

}  // namespace quor
