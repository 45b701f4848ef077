// The leftover review's rules that need no window: reasons, first ticks,
// group counts and where the registry editor is sent.
#include <gtest/gtest.h>

#include "inventory/ProgramSize.h"
#include "support/TempFolder.h"
#include "toolkit/QuorTreeModel.h"
#include "ui/LeftoverReview.h"
#include "ui/RegistryEditor.h"

namespace quor {
namespace {

TLeftOverItem Item(TMatchedBy by, TConfidence confidence = TConfidence::High) {
  TLeftOverItem item(L"C:\\x", lkFile);
  item.MatchedBy = by;
  item.Confidence = confidence;
  return item;
}

TEST(LeftoverReview, EveryMatchNamesItsReasonAndAWeakOneSaysItIsWeak) {
  const struct {
    TMatchedBy By;
    TConfidence Confidence;
    const wchar_t* Text;
  } cases[] = {
      {TMatchedBy::Name, TConfidence::High, L"named after the program"},
      {TMatchedBy::Folder, TConfidence::High, L"named after the program"},
      {TMatchedBy::InstallFolder, TConfidence::High, L"inside the install folder"},
      {TMatchedBy::RelatedFolder, TConfidence::High, L"inside the install folder"},
      {TMatchedBy::Location, TConfidence::High, L"points into the install folder"},
      {TMatchedBy::Guid, TConfidence::High, L"product code"},
      {TMatchedBy::Registration, TConfidence::High, L"the program's registration"},
      {TMatchedBy::Name, TConfidence::Low, L"weak: name inside a longer word"},
      {TMatchedBy::Guid, TConfidence::Low, L"weak: name inside a longer word"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "matched by " << int(c.By) << ", confidence " << int(c.Confidence));
    // No language file is loaded here: the English defaults come back.
    EXPECT_EQ(FoundReasonText(Item(c.By, c.Confidence)), c.Text);
  }
}

TEST(LeftoverReview, WeakAndKeptItemsStartUnticked) {
  TUninstallObject program;
  program.AddLeftover(Item(TMatchedBy::Name));
  TLeftOverItem weak = Item(TMatchedBy::Name, TConfidence::Low);
  weak.Path = L"C:\\weak";
  program.AddLeftover(weak);
  TLeftOverItem kept = Item(TMatchedBy::Guid);
  kept.Path = L"C:\\kept";
  program.AddLeftover(kept);
  program.SetLeftoverKept(2, true);
  EXPECT_TRUE(StartsTicked(program, 0));
  EXPECT_FALSE(StartsTicked(program, 1));
  EXPECT_FALSE(StartsTicked(program, 2));
  EXPECT_FALSE(StartsTicked(program, 3)) << "no such item";
}

// An unticked folder or key keeps everything inside it unticked: at the
// start (a weak folder holding a strong shortcut) and after each click.
TEST(LeftoverReview, AnUntickedFolderKeepsWhatIsInsideIt) {
  TUninstallObject program;
  auto add = [&](const wchar_t* path, uint8_t kind, TConfidence confidence = TConfidence::High) {
    TLeftOverItem item(path, kind);
    item.Confidence = confidence;
    program.AddLeftover(item);
  };
  add(L"C:\\App\\", lkFolder);                                  // 0
  add(L"C:\\App\\Data\\", lkFolder);                            // 1
  add(L"C:\\App\\Data\\a.txt", lkFile);                         // 2
  add(L"C:\\App\\Data\\Sub\\", lkFolder);                       // 3
  add(L"C:\\App\\Data\\Sub\\b.txt", lkFile);                    // 4
  add(L"C:\\App\\Data2\\c.txt", lkFile);                        // 5: a sibling, not inside
  add(L"C:\\Menu\\Weak\\", lkFolder, TConfidence::Low);         // 6
  add(L"C:\\Menu\\Weak\\App.lnk", lkFile);                      // 7: strong, inside a weak folder
  add(L"HKEY_CURRENT_USER\\Software\\App", lkRegKey);           // 8
  add(L"HKEY_CURRENT_USER\\Software\\App\\Theme", lkRegValue);  // 9
  using Ticks = std::vector<bool>;
  Ticks ticks = StartTicks(program);
  EXPECT_EQ(ticks, (Ticks{true, true, true, true, true, true, false, false, true, true}));

  const struct {
    const char* Name;
    int32_t Row;
    bool Tick;
    Ticks Expected;
  } clicks[] = {
      {"untick a folder",
       1,
       false,
       {true, false, false, false, false, true, false, false, true, true}},
      {"tick a file inside it",
       2,
       true,
       {true, false, false, false, false, true, false, false, true, true}},
      {"tick a folder inside it",
       3,
       true,
       {true, false, false, false, false, true, false, false, true, true}},
      {"tick the folder again",
       1,
       true,
       {true, true, true, true, true, true, false, false, true, true}},
      {"untick a key", 8, false, {true, true, true, true, true, true, false, false, false, false}},
      {"tick the weak folder",
       6,
       true,
       {true, true, true, true, true, true, true, true, false, false}},
      {"untick a file", 4, false, {true, true, true, true, false, true, true, true, false, false}},
  };
  for (const auto& c : clicks) {
    SCOPED_TRACE(c.Name);
    ticks[c.Row] = c.Tick;
    FollowFolderTicks(program, ticks, c.Row);
    EXPECT_EQ(ticks, c.Expected);
  }
}

TEST(LeftoverReview, KindsGoToTheirGroupWithTheirIcon) {
  const struct {
    uint8_t Kind;
    TReviewGroup Group;
    int Icon;
  } cases[] = {{lkFile, TReviewGroup::Files, 1},
               {lkFolder, TReviewGroup::Files, 0},
               {lkRegKey, TReviewGroup::Registry, 2},
               {lkRegValue, TReviewGroup::Registry, 2},
               {7, TReviewGroup::None, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.Kind));
    EXPECT_EQ(ReviewGroupOf(c.Kind), c.Group);
    EXPECT_EQ(ReviewIconOf(c.Kind), c.Icon);
  }
}

// The count follows the ticks, including a click that unticks a child.
TEST(LeftoverReview, AGroupCountsItsTickedChildrenOnly) {
  TQuorTreeModel model;
  TQuorDTVItem& empty = model.AddRoot(L"Registry Entries");
  TQuorDTVItem& files = model.AddRoot(L"Files/Folders");
  for (int i = 0; i < 4; ++i) model.AddChild(files, L"f").SetCheckState(i == 3 ? kCheckClear : kCheckTicked);
  EXPECT_EQ(GroupCountText(empty, L"Items"), L"") << "no bracket without children";
  EXPECT_EQ(TickedChildren(files), 3);
  EXPECT_EQ(GroupCountText(files, L"Items"), L" (3 Items)");
  model.ClickCheck(*files.Child(0));
  EXPECT_EQ(GroupCountText(files, L"Elemente"), L" (2 Elemente)");
  model.ClickCheck(files);  // partial group: every child ticked
  EXPECT_EQ(TickedChildren(files), 4);
}

TEST(LeftoverReview, RegistryItemsOpenAtTheirKeyWithTheExactValueName) {
  TLeftOverItem split(L"HKEY_CURRENT_USER\\Software\\Demo\\DisplayName", lkRegValue);
  TLeftOverItem withFields(L"HKEY_CURRENT_USER\\Software\\Demo\\a\\b", lkRegValue);
  withFields.Root = HKEY_CURRENT_USER;
  withFields.KeyPath = L"Software\\Demo";
  withFields.ValueName = L"a\\b";  // a value name may hold a backslash
  TLeftOverItem key(L"HKEY_LOCAL_MACHINE\\Software\\Demo", lkRegKey);
  TLeftOverItem keyWithFields(L"ignored", lkRegKey);
  keyWithFields.Root = HKEY_USERS;
  keyWithFields.KeyPath = L".DEFAULT\\Demo";
  EXPECT_EQ(RegistryTargetOf(split), (TRegistryTarget{L"HKEY_CURRENT_USER\\Software\\Demo", L"DisplayName"}));
  EXPECT_EQ(RegistryTargetOf(withFields), (TRegistryTarget{L"HKEY_CURRENT_USER\\Software\\Demo", L"a\\b"}));
  EXPECT_EQ(RegistryTargetOf(key), (TRegistryTarget{L"HKEY_LOCAL_MACHINE\\Software\\Demo", L""}));
  EXPECT_EQ(RegistryTargetOf(keyWithFields), (TRegistryTarget{L"HKEY_USERS\\.DEFAULT\\Demo", L""}));
}

// A file its bytes; a folder the bytes below it, a link inside it not
// followed; a link item a link; nothing for what is not there or is no file.
TEST(LeftoverReview, ItemsAreMeasuredWithoutFollowingLinks) {
  test::TempFolder root(L"QuorReviewMeasure");
  test::TempFolder outside(L"QuorReviewOutside");
  outside.MakeFile(L"big.bin", std::string(50000, 'o'));
  root.MakeFile(L"App\\a.bin", std::string(3000, 'a'));
  root.MakeFile(L"App\\sub\\b.bin", std::string(5000, 'b'));
  const bool links = test::MakeFolderLink(root / L"App\\link", outside.Path());
  using K = TItemSize::TKind;
  const struct {
    const char* What;
    TLeftOverItem Item;
    TItemSize Size;
  } cases[] = {
      {"a file", {root / L"App\\a.bin", lkFile}, {K::Bytes, 3000}},
      {"a folder, its link not followed", {root / L"App\\", lkFolder}, {K::Bytes, 8000}},
      {"a folder without its backslash", {root / L"App\\sub", lkFolder}, {K::Bytes, 5000}},
      {"a link item", {root / L"App\\link\\", lkFolder}, {K::Link}},
      {"nothing there", {root / L"missing.bin", lkFile}, {}},
      {"a registry item", {L"HKEY_CURRENT_USER\\Software", lkRegKey}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    if (!links && c.Item.Path.find(L"link") != std::wstring::npos) continue;
    EXPECT_EQ(MeasureLeftover(c.Item), c.Size);
  }
  int asked = 0;
  const TItemSize stopped =
      MeasureLeftover({root / L"App\\", lkFolder}, [&] { return ++asked > 1; });
  EXPECT_LT(stopped.Bytes, 8000) << "a measurement told to stop stops";
}

TEST(LeftoverReview, SizesReadAsTheListShowsThem) {
  using K = TItemSize::TKind;
  EXPECT_EQ(ItemSizeText({K::Bytes, 1536}, L"link"), FormatSize(1536));
  EXPECT_EQ(ItemSizeText({K::Bytes, 1536, true}, L"link"), L"\u2265 " + FormatSize(1536));
  EXPECT_EQ(ItemSizeText({K::Link}, L"Link"), L"Link");
  EXPECT_EQ(ItemSizeText({}, L"link"), L"");
}

TEST(RegistryEditor, OnlyTheFourRootsAreAcceptedAndTakenOff) {
  const struct {
    const wchar_t* Text;
    HKEY Root;  // nullptr: refused
    const wchar_t* SubKey;
  } cases[] = {
      {L"HKEY_LOCAL_MACHINE\\Software\\Demo", HKEY_LOCAL_MACHINE, L"Software\\Demo"},
      {L"hkey_current_user\\Software", HKEY_CURRENT_USER, L"Software"},
      {L"HKEY_CLASSES_ROOT\\.txt", HKEY_CLASSES_ROOT, L".txt"},
      {L"HKEY_USERS\\.DEFAULT", HKEY_USERS, L".DEFAULT"},
      {L"HKEY_USERS", HKEY_USERS, L""},
      {L"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER, L""},
      {L"HKEY_CURRENT_CONFIG\\System", nullptr, L""},
      {L"HKCU\\Software", nullptr, L""},
      {L"HKEY_USERSX\\Software", nullptr, L""},
      {L"Software\\HKEY_CURRENT_USER", nullptr, L""},
      {L"", nullptr, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "text: " << c.Text);
    const auto parsed = ParseRegistryKeyText(c.Text);
    if (!c.Root) {
      EXPECT_FALSE(parsed);
      continue;
    }
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, (TRegistryKeyText{c.Root, c.SubKey}));
  }
}

TEST(RegistryEditor, ValuePathsSplitAtTheLastBackslashAndNamesAreTypedInCapitals) {
  EXPECT_EQ(SplitValuePath(L"HKEY_CURRENT_USER\\Software\\Demo\\DisplayName"),
            (std::pair<std::wstring, std::wstring>{L"HKEY_CURRENT_USER\\Software\\Demo", L"DisplayName"}));
  EXPECT_EQ(SplitValuePath(L"NoBackslash"), (std::pair<std::wstring, std::wstring>{L"NoBackslash", L""}));
  EXPECT_EQ(TypedValueName(L"DisplayName"), L"DISPLAYNAME");
  EXPECT_EQ(TypedValueName(L"größe_1.x"), L"GRößE_1.X") << "only a to z change";
}

// A key that does not open is refused before any editor is looked for.
TEST(RegistryEditor, AKeyThatDoesNotOpenIsRefused) {
  EXPECT_FALSE(OpenRegistryKey(L"HKEY_CURRENT_USER\\Software\\Quor test key that is not there", L""));
  EXPECT_FALSE(OpenRegistryKey(L"HKEY_CURRENT_CONFIG\\System", L""));
}

}  // namespace
}  // namespace quor
