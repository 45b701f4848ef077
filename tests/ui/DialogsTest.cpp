// The progress dialog and the leftover review as real windows: driven with
// window messages from a timer inside their modal loops, state read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>

#include "app/LangText.h"
#include "app/WindowSize.h"
#include "base/Clipboard.h"
#include "engine/LeftoverRules.h"
#include "engine/UninstallHelper.h"
#include "inventory/EnvironmentStrings.h"
#include "inventory/ProgramSize.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "toolkit/QuorText.h"
#include "ui/AfterDel.h"
#include "ui/LeftoverReview.h"
#include "ui/ProgressModal.h"

namespace quor {
namespace {

constexpr UINT_PTR kActTimer = 77;

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void Click(HWND target, POINT at) {
  const LPARAM where = MAKELPARAM(at.x, at.y);
  ::SendMessageW(target, WM_MOUSEMOVE, 0, where);
  ::SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
  ::SendMessageW(target, WM_LBUTTONUP, 0, where);
}

void Key(HWND target, WPARAM vk) { ::SendMessageW(target, WM_KEYDOWN, vk, 0); }

// Runs `act` once the modal loop of `window` runs; a dialog still open two
// seconds later is closed, so that a fault fails the test instead of hanging it.
template <typename Window>
int ShowAndAct(Window& window, const std::function<void()>& act) {
  window.SetTimer(kActTimer, 30, [&] {
    window.KillTimer(kActTimer);
    act();
    window.SetTimer(kActTimer + 1, 20000, [&] {
      ADD_FAILURE() << "the dialog did not close";
      window.KillTimer(kActTimer + 1);
      window.SetModalResult(IDABORT);
    });
  });
  const int result = window.ShowModal();
  window.KillTimer(kActTimer + 1);
  return result;
}

// 3 files, 1 folder and 2 registry values, the second of them weak.
std::unique_ptr<TUninstallObject> ReviewFixture() {
  auto program = std::make_unique<TUninstallObject>();
  program->DisplayName = L"Contoso Notes";
  auto value = [](const wchar_t* name, TConfidence confidence) {
    TLeftOverItem item(std::wstring(L"HKEY_CURRENT_USER\\Software\\Contoso\\") + name, lkRegValue);
    item.Root = HKEY_CURRENT_USER;
    item.KeyPath = L"Software\\Contoso";
    item.ValueName = name;
    item.MatchedBy = TMatchedBy::Name;
    item.Confidence = confidence;
    return item;
  };
  program->AddLeftover({L"C:\\Program Files\\Contoso Notes\\notes.exe", lkFile});       // 0
  program->AddLeftover({L"C:\\Program Files\\Contoso Notes\\readme.txt", lkFile});      // 1
  program->AddLeftover({L"C:\\Users\\Demo\\AppData\\Roaming\\Contoso Notes", lkFolder});  // 2
  program->AddLeftover(value(L"InstallPath", TConfidence::High));                       // 3
  program->AddLeftover({L"C:\\Users\\Demo\\Desktop\\Contoso Notes.lnk", lkFile});       // 4
  program->AddLeftover(value(L"ContosoNotesFormatter", TConfidence::Low));              // 5
  return program;
}

bool AnyKept(const TUninstallObject& program) {
  for (int32_t i = 0; i < program.LeftoverCount(); ++i)
    if (program.IsLeftoverKept(i)) return true;
  return false;
}

TEST(LeftoverReviewDialog, ShowsBothGroupsAndRemoveKeepsWhatIsUnticked) {
  auto program = ReviewFixture();
  TFrmAfterDel dialog(nullptr, L"");
  dialog.FProgram = program.get();
  ShowAndAct(dialog, [&] {
    const RECT window = dialog.WindowRect();
    EXPECT_EQ(window.right - window.left, TFrmAfterDel::kDefaultWidth)
        << "no size kept: the default";
    EXPECT_EQ(window.bottom - window.top, TFrmAfterDel::kDefaultHeight);
    TQuorDTVItem& files = dialog.FilesGroup();
    TQuorDTVItem& reg = dialog.RegGroup();
    ASSERT_EQ(files.ChildCount(), 4);
    ASSERT_EQ(reg.ChildCount(), 2);
    const int order[] = {0, 1, 2, 4};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dialog.LeftoverIndex(*files.Child(i)), order[i]);
    EXPECT_EQ(dialog.LeftoverIndex(*reg.Child(1)), 5);
    EXPECT_EQ(reg.Child(1)->CheckState(), kCheckClear) << "the weak item starts unticked";
    EXPECT_EQ(reg.Child(1)->Text2, L"weak: name inside a longer word");
    EXPECT_EQ(files.Child(0)->Text2, L"named after the program");
    EXPECT_EQ(TickedChildren(files), 4);
    EXPECT_EQ(TickedChildren(reg), 1);

    // The keyboard: down to the second file and untick it with Space.
    const HWND tree = dialog.Tree().Handle();
    for (int i = 0; i < 3; ++i) Key(tree, VK_DOWN);
    Key(tree, VK_SPACE);
    EXPECT_EQ(files.Child(1)->CheckState(), kCheckClear);
    EXPECT_EQ(TickedChildren(files), 3);
    // The mouse: tick the weak one.
    Click(tree, Centre(reg.Child(1)->CheckRect));
    EXPECT_EQ(TickedChildren(reg), 2);
    // Read from outside, the tree says what it draws: each group with its
    // count of ticked items, each item with its tick, its size (none for a
    // file that is not there) and its reason.
    wchar_t text[2048] = {};
    ::GetWindowTextW(tree, text, 2048);
    const std::wstring shown = text;
    for (const wchar_t* line :
         {L"[-] Files/Folders (3 Items)\r\n",
          L"\r\n\t[ ] C:\\Program Files\\Contoso Notes\\readme.txt\t\tnamed after the program\r\n",
          L"\r\n[x] Registry Entries (2 Items)\r\n"})
      EXPECT_NE(shown.find(line), std::wstring::npos) << "no line " << testing::PrintToString(std::wstring(line));
    EXPECT_TRUE(shown.starts_with(L"[-] Files/Folders")) << testing::PrintToString(shown);
    Key(dialog.RemoveButton().Handle(), VK_RETURN);
  });
  EXPECT_FALSE(dialog.FCancelled);
  for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(program->IsLeftoverKept(i), i == 1);
  }
}

// Unticking a folder unticks the rows listed inside it, a click on one of
// them cannot tick it again, and Remove keeps them all.
TEST(LeftoverReviewDialog, AnUntickedFolderKeepsTheRowsInsideIt) {
  auto program = std::make_unique<TUninstallObject>();
  program->AddLeftover({L"C:\\App\\Data\\", lkFolder});          // 0
  program->AddLeftover({L"C:\\App\\Data\\a.txt", lkFile});       // 1
  program->AddLeftover({L"C:\\App\\Data\\Sub\\b.txt", lkFile});  // 2
  program->AddLeftover({L"C:\\App\\Data2.txt", lkFile});         // 3
  TFrmAfterDel dialog(nullptr, L"");
  dialog.FProgram = program.get();
  ShowAndAct(dialog, [&] {
    TQuorDTVItem& files = dialog.FilesGroup();
    ASSERT_EQ(files.ChildCount(), 4);
    const HWND tree = dialog.Tree().Handle();
    Click(tree, Centre(files.Child(0)->CheckRect));
    EXPECT_EQ(TickedChildren(files), 1);
    Click(tree, Centre(files.Child(1)->CheckRect));
    EXPECT_EQ(files.Child(1)->CheckState(), kCheckClear);
    EXPECT_EQ(files.CheckState(), kCheckPartial);
    Key(dialog.RemoveButton().Handle(), VK_RETURN);
  });
  EXPECT_FALSE(dialog.FCancelled);
  for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(program->IsLeftoverKept(i), i != 3);
  }
}

TEST(LeftoverReviewDialog, EveryOtherWayOutCancelsAndMarksNothing) {
  const struct {
    const char* Name;
    std::function<void(TFrmAfterDel&)> Leave;
  } cases[] = {
      {"close button",
       [](TFrmAfterDel& d) {
         TWDFButton* close = d.Form().CaptionButton(L"BtnClose");
         ASSERT_TRUE(close);
         Click(d.Form().Handle(), Centre(close->SurfaceRect()));
       }},
      {"Escape in the tree", [](TFrmAfterDel& d) { ::PostMessageW(d.Tree().Handle(), WM_KEYDOWN, VK_ESCAPE, 0); }},
      {"Cancel button", [](TFrmAfterDel& d) { Key(d.CancelButton().Handle(), VK_RETURN); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    auto program = ReviewFixture();
    TFrmAfterDel dialog(nullptr, L"");
    dialog.FProgram = program.get();
    ShowAndAct(dialog, [&] {
      Key(dialog.Tree().Handle(), VK_DOWN);
      Key(dialog.Tree().Handle(), VK_SPACE);  // the whole files group unticked
      c.Leave(dialog);
    });
    EXPECT_TRUE(dialog.FCancelled);
    EXPECT_FALSE(AnyKept(*program));
  }
}

// The select buttons tick and clear every item, and Remove then keeps
// accordingly.
TEST(LeftoverReviewDialog, SelectAllAndSelectNoneTickAndClearEveryItem) {
  for (const bool all : {false, true}) {
    SCOPED_TRACE(all ? "Select All" : "Select None");
    auto program = ReviewFixture();
    TFrmAfterDel dialog(nullptr, L"");
    dialog.FProgram = program.get();
    ShowAndAct(dialog, [&] {
      Key((all ? dialog.AllButton() : dialog.NoneButton()).Handle(), VK_RETURN);
      EXPECT_EQ(TickedChildren(dialog.FilesGroup()), all ? 4 : 0);
      EXPECT_EQ(TickedChildren(dialog.RegGroup()), all ? 2 : 0);
      EXPECT_EQ(dialog.RegGroup().CheckState(), all ? kCheckTicked : kCheckClear);
      Key(dialog.RemoveButton().Handle(), VK_RETURN);
    });
    for (int32_t i = 0; i < program->LeftoverCount(); ++i)
      EXPECT_EQ(program->IsLeftoverKept(i), !all) << i;
  }
}

// The right button on an item opens its menu: open it where it is (in the
// registry editor for a registry item), copy its path, select all or none.
TEST(LeftoverReviewDialog, AnItemsMenuOpensAndCopiesIt) {
  auto program = ReviewFixture();
  TFrmAfterDel dialog(nullptr, L"");
  dialog.FProgram = program.get();
  ShowAndAct(dialog, [&] {
    const HWND tree = dialog.Tree().Handle();
    TQuorPopupMenu& menu = dialog.RowMenu();
    auto rightClick = [&](TQuorDTVItem& row) {
      const POINT at = Centre(row.TextRect);
      ::SendMessageW(tree, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
      ::SendMessageW(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
      ::SendMessageW(tree, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    };
    rightClick(*dialog.RegGroup().Child(0));
    EXPECT_EQ(menu.Items(0)->Caption, L"Open in Registry Editor");
    menu.CloseMenu();
    TQuorDTVItem& file = *dialog.FilesGroup().Child(1);
    rightClick(file);
    EXPECT_EQ(dialog.Tree().Model().CurrentItem(), &file) << "the row the menu is for";
    EXPECT_EQ(menu.Items(0)->Caption, L"Open Location");
    EXPECT_TRUE(menu.Items(0)->Enabled);
    EXPECT_EQ(menu.Items(1)->Caption, L"Copy Path");
    WriteClipboardText(nullptr, L"before");
    menu.Items(1)->OnClick(*menu.Items(1));
    EXPECT_EQ(ReadClipboardText(nullptr), L"C:\\Program Files\\Contoso Notes\\readme.txt");
    menu.CloseMenu();
    rightClick(dialog.FilesGroup());
    EXPECT_FALSE(menu.Items(0)->Enabled) << "a group row opens nothing";
    EXPECT_FALSE(menu.Items(1)->Enabled);
    EXPECT_EQ(menu.Items(4)->Caption, L"Select None");
    menu.Items(4)->OnClick(*menu.Items(4));
    EXPECT_EQ(TickedChildren(dialog.FilesGroup()), 0);
    menu.CloseMenu();
    dialog.Close();
  });
}

// Files and folders show their size once measured, on a thread of the
// dialog's: a folder its contents'; a file that is not there, and a
// registry item, nothing.
TEST(LeftoverReviewDialog, FilesAndFoldersShowTheirSizes) {
  test::TempFolder folder(L"QuorReviewSizes");
  folder.MakeFile(L"App\\a.bin", std::string(3000, 'a'));
  folder.MakeFile(L"App\\sub\\b.bin", std::string(5000, 'b'));
  const std::wstring single = folder.MakeFile(L"single.bin", std::string(700, 's'));
  auto program = std::make_unique<TUninstallObject>();
  program->AddLeftover({folder / L"App\\", lkFolder});
  program->AddLeftover({single, lkFile});
  program->AddLeftover({folder / L"missing.bin", lkFile});
  program->AddLeftover({L"HKEY_CURRENT_USER\\Software\\Quor review size test", lkRegKey});
  TFrmAfterDel dialog(nullptr, L"");
  dialog.FProgram = program.get();
  ShowAndAct(dialog, [&] {
    TQuorDTVItem& files = dialog.FilesGroup();
    EXPECT_TRUE(test::PumpUntil([&] { return !dialog.SizeText(*files.Child(1)).empty(); }, 10000));
    EXPECT_TRUE(test::PumpUntil([&] { return !dialog.SizeText(*files.Child(0)).empty(); }, 10000));
    EXPECT_EQ(dialog.SizeText(*files.Child(0)), FormatSize(8000));
    EXPECT_EQ(dialog.SizeText(*files.Child(1)), FormatSize(700));
    EXPECT_EQ(dialog.SizeText(*files.Child(2)), L"");
    EXPECT_EQ(dialog.SizeText(*dialog.RegGroup().Child(0)), L"");
    dialog.Close();
  });
}

// The dialog follows its border: the tree takes the room, the buttons keep
// to their corners; it is never smaller than its texts need, and opens again
// at the size it was left at, but never beyond the screen.
TEST(LeftoverReviewDialog, ResizesWithItsContentsAndKeepsItsSize) {
  test::TempFolder folder(L"QuorReviewSize");
  const std::wstring config = folder / L"Config.ini";
  auto program = ReviewFixture();
  {
    TFrmAfterDel dialog(nullptr, config);
    dialog.FProgram = program.get();
    ShowAndAct(dialog, [&] {
      ::SetWindowPos(dialog.Handle(), nullptr, 0, 0, 900, 600,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      const TBounds tree = dialog.Tree().Bounds();
      EXPECT_EQ(tree.Width, 900 - 2 * 10);
      EXPECT_EQ(tree.Height, 266 + 600 - TFrmAfterDel::kClientHeight);
      const TBounds cancel = dialog.CancelButton().Bounds(), all = dialog.AllButton().Bounds();
      EXPECT_EQ(cancel.Left + cancel.Width, 900 - 10);
      EXPECT_EQ(cancel.Top + cancel.Height, 600 - 19);
      EXPECT_EQ(all.Left, 10);
      EXPECT_EQ(all.Top, cancel.Top);
      EXPECT_LE(tree.Top + tree.Height, cancel.Top);
      MINMAXINFO info{};
      ::SendMessageW(dialog.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
      EXPECT_EQ(info.ptMinTrackSize.x, TFrmAfterDel::kClientWidth);
      EXPECT_EQ(info.ptMinTrackSize.y, TFrmAfterDel::kClientHeight);
      dialog.Close();
    });
  }
  const auto kept = ReadWindowSize(config, TFrmAfterDel::kSizeSection);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->cx, 900);
  EXPECT_EQ(kept->cy, 600);
  {
    TFrmAfterDel again(nullptr, config);
    const RECT r = again.WindowRect();
    EXPECT_EQ(r.right - r.left, 900);
    EXPECT_EQ(r.bottom - r.top, 600);
  }
  ASSERT_TRUE(WriteWindowSize(config, TFrmAfterDel::kSizeSection, {20000, 20000}));
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT r = TFrmAfterDel(nullptr, config).WindowRect();
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, work.top);
  EXPECT_EQ(r.right, work.right);
  EXPECT_EQ(r.bottom, work.bottom);
}

// With more rows than fit, End shows the last row whole; with long
// translations the dialog grows so that the information line and every
// button show their whole text.
TEST(LeftoverReviewDialog, NothingIsClipped) {
  test::TempFolder folder(L"QuorReviewTexts");
  const std::wstring lines =
      L"\xFEFF[Lang]\r\nNativeLanguage=Test\r\n[Translation]\r\n"
      L"Frmafterdel.lblinfo.caption=Pr\u00fcfen Sie das Ergebnis sorgf\u00e4ltig und klicken Sie "
      L"dann auf "
      L"\u201eEntfernen\u201c, um die Deinstallation vollst\u00e4ndig abzuschlie\u00dfen.\r\n"
      L"Frmafterdel.btnall.caption=Alle Eintr\u00e4ge ausw\u00e4hlen\r\n"
      L"Frmafterdel.btnnone.caption=Keinen Eintrag ausw\u00e4hlen\r\n"
      L"Frmafterdel.btnremove.caption=Jetzt entfernen\r\n";
  SetLanguageFile(folder.MakeFile(
      L"Test.ini",
      std::string(reinterpret_cast<const char*>(lines.data()), lines.size() * sizeof(wchar_t))));
  ReloadLangTexts();
  auto program = std::make_unique<TUninstallObject>();
  for (int i = 0; i < 40; ++i)
    program->AddLeftover({L"C:\\App\\file" + std::to_wstring(i) + L".txt", lkFile});
  program->AddLeftover({L"HKEY_CURRENT_USER\\Software\\App", lkRegKey});
  TFrmAfterDel dialog(nullptr, L"");
  dialog.FProgram = program.get();
  ShowAndAct(dialog, [&] {
    const int client = dialog.Form().Surface().Width();
    EXPECT_GT(dialog.MinimumSize().cx, TFrmAfterDel::kClientWidth)
        << "the texts need more than the design width";
    EXPECT_GE(dialog.WindowRect().right - dialog.WindowRect().left, dialog.MinimumSize().cx);
    auto fits = [&](const TQuorControlBase& control, const std::wstring& text,
                    const TFontSpec& font) {
      const TBounds& b = control.Bounds();
      EXPECT_LE(MeasureText(text, TQuorFont(font)).cx, b.Width) << testing::PrintToString(text);
      EXPECT_GE(b.Left, 0);
      EXPECT_LE(b.Left + b.Width, client);
    };
    for (TQuorDirectStdButton* b : {&dialog.AllButton(), &dialog.NoneButton(),
                                    &dialog.RemoveButton(), &dialog.CancelButton()})
      fits(*b, b->Caption(), b->Fonts()[0]);
    fits(dialog.InfoLabel(), dialog.InfoLabel().Caption(), dialog.InfoLabel().Font());
    const TBounds all = dialog.AllButton().Bounds(), none = dialog.NoneButton().Bounds(),
                  remove = dialog.RemoveButton().Bounds();
    EXPECT_LE(all.Left + all.Width, none.Left);
    EXPECT_LE(none.Left + none.Width, remove.Left);
    const HWND tree = dialog.Tree().Handle();
    dialog.Tree().SetFocus();
    Key(tree, VK_END);
    const TQuorDTVItem& last = *dialog.RegGroup().Child(0);
    EXPECT_EQ(dialog.Tree().Model().CurrentItem(), &last);
    EXPECT_GE(last.RowRect.top, 0);
    EXPECT_LE(last.RowRect.bottom, dialog.Tree().Height());
    dialog.Close();
  });
  SetLanguageFile(L"");
  ReloadLangTexts();
}

TEST(LeftoverReviewDialog, WithoutARecordTheGroupsStayEmpty) {
  TFrmAfterDel dialog(nullptr, L"");
  ShowAndAct(dialog, [&] {
    EXPECT_EQ(dialog.FilesGroup().ChildCount(), 0);
    EXPECT_EQ(GroupCountText(dialog.RegGroup(), L"Items"), L"");
    EXPECT_EQ(dialog.Form().Caption(), L"FrmAfterDel");
    dialog.Close();
  });
  EXPECT_TRUE(dialog.FCancelled);
}

// The path-variable table and the rule lists, for a scan that takes steps.
struct TRuleLists {
  TRuleLists() {
    InitEnvironmentStrings();
    LoadRuleLists();
  }
  ~TRuleLists() {
    FreeRuleLists();
    DoneEnvironmentStrings();
  }
};

std::shared_ptr<TUninstallObject> ScanRecord() {
  TUninstallItem item;
  item.DisplayName = L"Quor Dialog Test Nothing Installed";
  item.RootKey = HKEY_CURRENT_USER;
  item.KeyPath = L"Software\\Quor dialog test key that is not there";
  TSoftwareList holder;
  return holder.Items(holder.Add(-1, item));
}

TEST(ProgressDialog, AScanEndsTheDialogByItselfWithTheBarFull) {
  TRuleLists rules;
  TUninstallHelper engine;
  engine.Threaded = true;
  TFrmProgressModal dialog(nullptr);
  dialog.FHelper = &engine;
  dialog.FProgram = ScanRecord();
  dialog.FMode = TFrmProgressModal::kModeScan;
  dialog.SetText(L"Searching for leftovers");
  dialog.SetMax(int32_t(FolderRoots.size() + RegistryRules.size()));
  EXPECT_EQ(dialog.Bar().Position(), 30) << "the design-time position until the scan begins";
  dialog.ShowModal();
  EXPECT_FALSE(dialog.FCancelled);
  EXPECT_GT(dialog.Bar().Max(), 0);
  EXPECT_EQ(dialog.Bar().Position(), dialog.Bar().Max());
  EXPECT_FALSE(engine.OnScanEnd) << "the handlers are cleared on close";
  EXPECT_FALSE(engine.OnProgress);
  EXPECT_TRUE(test::PumpUntil([&] { return engine.State() == esIdle && !engine.JobRunning(); }));
}

TEST(ProgressDialog, CancelEndsTheDialogAtOnceAsCancelled) {
  TRuleLists rules;
  TUninstallHelper engine;
  engine.Threaded = true;
  const struct {
    const char* Name;
    std::function<void(TFrmProgressModal&)> Leave;
  } cases[] = {
      {"Cancel pressed", [](TFrmProgressModal& d) { Key(d.CancelButton().Handle(), VK_RETURN); }},
      {"Escape", [](TFrmProgressModal& d) { ::PostMessageW(d.CancelButton().Handle(), WM_KEYDOWN, VK_ESCAPE, 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TFrmProgressModal dialog(nullptr);
    dialog.FHelper = &engine;
    dialog.FProgram = ScanRecord();
    dialog.SetMax(int32_t(FolderRoots.size() + RegistryRules.size()));
    bool scanEnded = false;
    ShowAndAct(dialog, [&] {
      // The dialog starts its job from a timer of its own, which may come
      // after this one on a loaded machine.
      EXPECT_TRUE(test::PumpUntil([&] { return engine.Busy(); }, 10000));
      c.Leave(dialog);
    });
    EXPECT_TRUE(dialog.FCancelled);
    EXPECT_FALSE(engine.OnScanEnd);
    // As the main window does: stop the scan and wait for its end.
    engine.OnScanEnd = [&](TUninstallHelper&, TUninstallObject*) { scanEnded = true; };
    engine.Cancel();
    EXPECT_TRUE(test::PumpUntil([&] { return engine.State() != esScanning && !engine.JobRunning(); }));
    EXPECT_TRUE(dialog.FCancelled) << "a late end changes nothing";
    engine.OnScanEnd = nullptr;
  }
}

// Before the first item arrives the removal names the program, not a
// placeholder; the dialog has its size and no frame button.
TEST(ProgressDialog, ARemovalStartsWithTheProgramsName) {
  auto program = ScanRecord();
  TFrmProgressModal dialog(nullptr);
  dialog.FProgram = program;
  dialog.FMode = TFrmProgressModal::kModeRemoval;
  ShowAndAct(dialog, [&] {
    EXPECT_EQ(dialog.InfoText(), L"Removing: Quor Dialog Test Nothing Installed");
    const RECT window = dialog.WindowRect();
    EXPECT_EQ(window.right - window.left, TFrmProgressModal::kClientWidth);
    EXPECT_EQ(window.bottom - window.top, TFrmProgressModal::kClientHeight);
    const TWDFButton* close = dialog.Form().CaptionButton(L"BtnClose");
    EXPECT_TRUE(!close || !close->Placed) << "no frame buttons";
    dialog.Close();
  });
  EXPECT_TRUE(dialog.FCancelled) << "no engine: only Cancel ends it";
}

}  // namespace
}  // namespace quor
