#include <gtest/gtest.h>
#include <shlobj.h>
#include <knownfolders.h>

#include <functional>
#include <memory>

#include "inventory/EnumPrograms.h"
#include "inventory/EnvironmentStrings.h"
#include "inventory/Registry.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"
#include "support/TestNames.h"

namespace quor {
namespace {

std::wstring KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path))) result = path;
  ::CoTaskMemFree(path);
  return result;
}
std::wstring Downloads() { return KnownFolder(FOLDERID_Downloads); }
std::wstring TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
  return std::wstring(temp, n <= MAX_PATH ? n : 0);
}

using test::TempRegistration;
using test::TLocation;

// A listing must keep and date the same registrations as a full read.
const std::pair<TProgramDetail, const char*> kDetails[] = {{TProgramDetail::Full, "full"},
                                                           {TProgramDetail::Listing, "listing"}};

class EnumProgramsTest : public ::testing::Test {
 protected:
  void SetUp() override { InitEnvironmentStrings(); }
  void TearDown() override {
    SetIsWin64(true);
    DoneEnvironmentStrings();
  }

  std::shared_ptr<TUninstallObject> Find(const TempRegistration& reg) const {
    for (int32_t i = 0; i < list.Count(); ++i) {
      auto r = list.Items(i);
      if (r->RootKey == reg.Root() && r->KeyPath == reg.Path()) return r;
    }
    return nullptr;
  }
  int32_t IndexOf(const TempRegistration& reg) const {
    auto r = Find(reg);
    return r ? r->Index : -1;
  }

  TSoftwareList list;
};

struct VisibilityCase {
  const char* what;
  std::function<void(const TempRegistration&)> setup;
  bool listed;
};

TEST_F(EnumProgramsTest, VisibilityFilterAndDisplayName) {
  const std::vector<VisibilityCase> cases = {
      {"plain", [](auto&) {}, true},
      {"default text", [](auto& r) { r.SetString(L"", L"x"); }, false},
      {"empty default", [](auto& r) { r.SetString(L"", L""); }, true},
      {"default not text ends the checks",
       [](auto& r) {
         r.SetDWord(L"", 7);
         r.SetDWord(L"NoRemove", 1);
       },
       true},
      {"SystemComponent 1", [](auto& r) { r.SetDWord(L"SystemComponent", 1); }, false},
      {"SystemComponent 0", [](auto& r) { r.SetDWord(L"SystemComponent", 0); }, true},
      {"SystemComponent 2", [](auto& r) { r.SetDWord(L"SystemComponent", 2); }, true},
      {"SystemComponent as text ends the checks",
       [](auto& r) {
         r.SetString(L"SystemComponent", L"1");
         r.SetDWord(L"NoRemove", 1);
       },
       true},
      {"NoRemove 1", [](auto& r) { r.SetDWord(L"NoRemove", 1); }, false},
      {"NoRemove 0", [](auto& r) { r.SetDWord(L"NoRemove", 0); }, true},
  };
  std::vector<std::unique_ptr<TempRegistration>> regs;
  for (const auto& c : cases) {
    regs.push_back(std::make_unique<TempRegistration>(TLocation::UserNative));
    regs.back()->SetString(L"DisplayName", L"Quor visibility");
    c.setup(*regs.back());
  }
  TempRegistration noName(TLocation::UserNative);
  TempRegistration numericName(TLocation::UserNative);
  numericName.SetDWord(L"DisplayName", 5);
  TempRegistration blankName(TLocation::UserNative);
  blankName.SetString(L"DisplayName", L"   ");

  for (const auto& [detail, what] : kDetails) {
    SCOPED_TRACE(what);
    EnumPrograms(list, detail);
    for (size_t i = 0; i < cases.size(); ++i) {
      EXPECT_EQ(Find(*regs[i]) != nullptr, cases[i].listed) << cases[i].what;
    }
    EXPECT_EQ(Find(noName), nullptr);
    EXPECT_EQ(Find(numericName), nullptr);
    ASSERT_NE(Find(blankName), nullptr);
    EXPECT_EQ(Find(blankName)->DisplayName, L"   ");
  }
}

TEST_F(EnumProgramsTest, ReadsEveryFieldUntrimmed) {
  TempRegistration reg(TLocation::MachineNative);
  reg.SetString(L"DisplayName", L" Quor Full ");
  reg.SetString(L"Publisher", L"Pub");
  reg.SetString(L"DisplayVersion", L"1.2");
  reg.SetString(L"DisplayIcon", L"\"C:\\Q\\app.exe\",0");
  reg.SetString(L"InstallLocation", L"%ProgramFiles%\\Quor Full", REG_EXPAND_SZ);
  reg.SetString(L"UninstallString", L"\"C:\\Q\\un.exe\" /S");
  reg.SetString(L"HelpLink", L"https://example.invalid/help");
  reg.SetString(L"ModifyPath", L"C:\\Q\\mod.exe");
  reg.SetString(L"ProductGuid", L"{1234}");
  reg.SetString(L"InstallDate", L"20200102");
  reg.SetDWord(L"EstimatedSize", 2048);
  EnumPrograms(list);
  auto r = Find(reg);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->DisplayName, L" Quor Full ");
  EXPECT_EQ(r->Publisher, L"Pub");
  EXPECT_EQ(r->DisplayVersion, L"1.2");
  EXPECT_EQ(r->DisplayIcon, L"\"C:\\Q\\app.exe\",0");
  EXPECT_EQ(r->InstallLocation, L"%ProgramFiles%\\Quor Full");
  EXPECT_EQ(r->FolderName, L"Quor Full");
  EXPECT_EQ(r->UninstallString, L"\"C:\\Q\\un.exe\" /S");
  EXPECT_EQ(r->HelpLink, L"https://example.invalid/help");
  EXPECT_EQ(r->ModifyPath, L"C:\\Q\\mod.exe");
  EXPECT_EQ(r->ProductGuid, L"{1234}");
  EXPECT_EQ(r->Size, 2048);
  EXPECT_EQ(r->InstallDate, (TDateTime{2020, 1, 2}));
  EXPECT_EQ(r->Index, IndexOf(reg));
  EXPECT_EQ(list.Items(r->Index), r);
}

TEST_F(EnumProgramsTest, AListingReadsOnlyWhatItShows) {
  TempRegistration reg(TLocation::UserWow);
  reg.SetString(L"DisplayName", L" Quor Listing ");
  reg.SetString(L"Publisher", L"Pub");
  reg.SetString(L"DisplayVersion", L"1.2", REG_EXPAND_SZ);
  reg.SetString(L"DisplayIcon", L"C:\\Q\\app.exe,0");
  reg.SetString(L"InstallLocation", L"C:\\Q");
  reg.SetString(L"UninstallString", L"C:\\Q\\un.exe");
  reg.SetString(L"HelpLink", L"https://example.invalid/help");
  reg.SetString(L"ModifyPath", L"C:\\Q\\mod.exe");
  reg.SetString(L"ProductGuid", L"{1234}");
  reg.SetString(L"InstallDate", L"20200102");
  reg.SetDWord(L"EstimatedSize", 2048);
  EnumPrograms(list, TProgramDetail::Listing);
  auto r = Find(reg);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->KeyPath, reg.Path());
  EXPECT_EQ(r->DisplayName, L" Quor Listing ");
  EXPECT_EQ(r->Publisher, L"Pub");
  EXPECT_EQ(r->DisplayVersion, L"1.2");
  EXPECT_EQ(r->Size, 2048);
  EXPECT_EQ(r->InstallDate, (TDateTime{2020, 1, 2}));
  for (const std::wstring* unread : {&r->DisplayIcon, &r->InstallLocation, &r->FolderName,
                                     &r->UninstallString, &r->HelpLink, &r->ModifyPath,
                                     &r->ProductGuid}) {
    EXPECT_EQ(*unread, L"");
  }
}

TEST_F(EnumProgramsTest, EstimatedSizeBounds) {
  struct Case {
    const char* what;
    std::function<void(const TempRegistration&)> set;
    int64_t size;
  } cases[] = {
      {"one", [](auto& r) { r.SetDWord(L"EstimatedSize", 1); }, 1},
      {"upper bound", [](auto& r) { r.SetDWord(L"EstimatedSize", 10485760); }, 10485760},
      {"above", [](auto& r) { r.SetDWord(L"EstimatedSize", 10485761); }, 0},
      {"zero", [](auto& r) { r.SetDWord(L"EstimatedSize", 0); }, 0},
      {"top bit", [](auto& r) { r.SetDWord(L"EstimatedSize", 0x80000010u); }, 0},
      {"qword", [](auto& r) { r.SetQWord(L"EstimatedSize", 100); }, 0},
      {"text", [](auto& r) { r.SetString(L"EstimatedSize", L"100"); }, 0},
  };
  std::vector<std::unique_ptr<TempRegistration>> regs;
  for (const auto& c : cases) {
    regs.push_back(std::make_unique<TempRegistration>(TLocation::UserNative));
    regs.back()->SetString(L"DisplayName", L"Quor size");
    c.set(*regs.back());
  }
  for (const auto& [detail, what] : kDetails) {
    SCOPED_TRACE(what);
    EnumPrograms(list, detail);
    for (size_t i = 0; i < regs.size(); ++i) {
      auto r = Find(*regs[i]);
      ASSERT_NE(r, nullptr) << cases[i].what;
      EXPECT_EQ(r->Size, cases[i].size) << cases[i].what;
    }
  }
}

TEST_F(EnumProgramsTest, InstallDateFallbacks) {
  test::TempFolder folder;
  folder.MakeFile(L"app.exe");
  const TDateTime folderDate = GetFolderDate(folder.Path());
  const TDateTime today = TDateTime::Today();
  // The file's creation time of day keeps the folder date apart from today
  // at 00:00; without that the cases below could not tell one from the other.
  ASSERT_NE(folderDate, today);
  struct Case {
    const char* what;
    std::wstring date, location, icon;
    TDateTime expected;
  } cases[] = {
      {"eight digits", L"20190708", L"", L"", {2019, 7, 8}},
      {"spaces around", L" 20190708  ", L"", L"", {2019, 7, 8}},
      {"seven digits: folder date", L"2019070", folder.Path(), L"", folderDate},
      {"month 13: today, not the folder", L"20191301", folder.Path(), L"", today},
      {"icon folder", L"", L"", folder.Path() + L"\\app.exe,0", folderDate},
      {"nothing", L"", L"", L"", today},
  };
  std::vector<std::unique_ptr<TempRegistration>> regs;
  for (const auto& c : cases) {
    regs.push_back(std::make_unique<TempRegistration>(TLocation::UserNative));
    auto& r = *regs.back();
    r.SetString(L"DisplayName", L"Quor date");
    if (!c.date.empty()) r.SetString(L"InstallDate", c.date);
    if (!c.location.empty()) r.SetString(L"InstallLocation", c.location);
    if (!c.icon.empty()) r.SetString(L"DisplayIcon", c.icon);
  }
  for (const auto& [detail, what] : kDetails) {
    SCOPED_TRACE(what);
    EnumPrograms(list, detail);
    for (size_t i = 0; i < regs.size(); ++i) {
      auto r = Find(*regs[i]);
      ASSERT_NE(r, nullptr) << cases[i].what;
      EXPECT_EQ(r->InstallDate, cases[i].expected) << cases[i].what;
    }
  }
}

TEST_F(EnumProgramsTest, InstallFolderFallbackAndFolderName) {
  const std::wstring pf = EnvironmentStrings->Expand(L"%PROGRAM_FILES%");
  const std::wstring sys = EnvironmentStrings->Expand(L"%SYSTEM%");
  struct Case {
    const char* what;
    std::wstring location, uninstall, expectedLocation, expectedName;
  } cases[] = {
      {"own folder", L"", pf + L"\\Quor Tool\\unins.exe /S", pf + L"\\Quor Tool\\", L"Quor Tool"},
      {"bare program name", L"", L"uninstall.exe /S", L"", L""},
      {"system folder", L"", sys + L"\\msiexec.exe /X{1}", L"", L""},
      {"quoted, in a known folder", L"", L"\"" + sys + L"\\msiexec.exe\" /X{1}", L"", L""},
      {"in Downloads", L"", Downloads() + L"\\setup.exe /x", L"", L""},
      // Other downloads share an unpacked installer's folder.
      {"below Downloads", L"", Downloads() + L"\\tmpsetup\\setup.exe /uninstall", L"", L""},
      {"deep below Downloads, quoted", L"", L"\"" + Downloads() + L"\\a\\b\\Quor Tool\\un.exe\" /x",
       L"", L""},
      {"below the Desktop", L"", KnownFolder(FOLDERID_Desktop) + L"\\Quor Tool\\un.exe", L"", L""},
      {"below Documents", L"", KnownFolder(FOLDERID_Documents) + L"\\Quor Tool\\un.exe", L"", L""},
      {"below the temporary folder", L"", TempFolder() + L"Quor Tool\\un.exe", L"", L""},
      {"in the profile", L"", KnownFolder(FOLDERID_Profile) + L"\\un.exe", L"", L""},
      {"a drive root", L"", L"C:\\un.exe /S", L"", L""},
      {"below the local application data", L"",
       KnownFolder(FOLDERID_LocalAppData) + L"\\Quor Tool\\un.exe /S",
       KnownFolder(FOLDERID_LocalAppData) + L"\\Quor Tool\\", L"Quor Tool"},
      {"spelled with ..", L"", pf + L"\\Quor Tool\\..\\unins.exe", L"", L""},
      {"three letters", pf + L"\\Abc", L"", pf + L"\\Abc", L""},
      {"four letters", pf + L"\\Abcd", L"", pf + L"\\Abcd", L"Abcd"},
      {"program files itself", pf, L"", pf, L""},
  };
  std::vector<std::unique_ptr<TempRegistration>> regs;
  for (const auto& c : cases) {
    regs.push_back(std::make_unique<TempRegistration>(TLocation::UserNative));
    auto& r = *regs.back();
    r.SetString(L"DisplayName", L"Quor folder");
    if (!c.location.empty()) r.SetString(L"InstallLocation", c.location);
    if (!c.uninstall.empty()) r.SetString(L"UninstallString", c.uninstall);
  }
  EnumPrograms(list);
  for (size_t i = 0; i < regs.size(); ++i) {
    auto r = Find(*regs[i]);
    ASSERT_NE(r, nullptr) << cases[i].what;
    EXPECT_EQ(r->InstallLocation, cases[i].expectedLocation) << cases[i].what;
    EXPECT_EQ(r->FolderName, cases[i].expectedName) << cases[i].what;
  }
}

TEST_F(EnumProgramsTest, LocationsInOrderAndThe32BitViewOnlyOn64BitWindows) {
  const std::wstring name = L"QuorOrder-" + std::to_wstring(::GetCurrentProcessId());
  TempRegistration machine(TLocation::MachineNative, L"", name);
  TempRegistration user(TLocation::UserNative, L"", name);
  TempRegistration userWow(TLocation::UserWow, L"", name);
  TempRegistration machineWow(TLocation::MachineWow, L"", name);
  for (auto* r : {&machine, &user, &userWow, &machineWow}) r->SetString(L"DisplayName", name);

  EnumPrograms(list);
  const int32_t order[] = {IndexOf(user), IndexOf(machine), IndexOf(userWow), IndexOf(machineWow)};
  for (int i = 0; i < 4; ++i) ASSERT_GE(order[i], 0) << i;
  for (int i = 0; i < 3; ++i) EXPECT_LT(order[i], order[i + 1]) << i;

  SetIsWin64(false);
  EnumPrograms(list);
  EXPECT_GE(IndexOf(user), 0);
  EXPECT_GE(IndexOf(machine), 0);
  EXPECT_EQ(IndexOf(userWow), -1);
  EXPECT_EQ(IndexOf(machineWow), -1);
}

// A location with many registrations is read by several threads: the
// records still come in the registry's order, each with its own values, and
// exactly the visible ones.
TEST_F(EnumProgramsTest, ManyRegistrationsKeepTheRegistrysOrder) {
  const std::wstring prefix = test::UniqueName(L"QuorMany") + L"-";
  std::vector<std::unique_ptr<TempRegistration>> regs;
  for (int i = 0; i < 100; ++i) {
    regs.push_back(
        std::make_unique<TempRegistration>(TLocation::UserNative, L"", prefix + std::to_wstring(i)));
    const auto& r = *regs.back();
    if (i % 7 != 3) r.SetString(L"DisplayName", r.Name());
    if (i % 5 == 1) r.SetDWord(L"SystemComponent", 1);
    r.SetString(L"UninstallString", L"C:\\Quor Many " + std::to_wstring(i) + L"\\un.exe");
  }
  std::vector<std::wstring> names;
  ASSERT_TRUE(GetSubKeyNames(HKEY_CURRENT_USER, kUninstallKeyPath, names));
  std::vector<std::wstring> expected;  // ours that are listed, in the registry's order
  for (const auto& name : names) {
    if (name.rfind(prefix, 0) != 0) continue;
    const int i = std::stoi(name.substr(prefix.size()));
    if (i % 7 != 3 && i % 5 != 1) expected.push_back(name);
  }
  ASSERT_EQ(expected.size(), 68u);

  const std::wstring base = std::wstring(kUninstallKeyPath) + L"\\";
  for (const auto& [detail, what] : kDetails) {
    SCOPED_TRACE(what);
    EnumPrograms(list, detail);
    std::vector<std::wstring> listed;
    for (int32_t i = 0; i < list.Count(); ++i) {
      const auto r = list.Items(i);
      if (r->RootKey != HKEY_CURRENT_USER || r->KeyPath.rfind(base + prefix, 0) != 0) continue;
      const std::wstring name = r->KeyPath.substr(base.size());
      listed.push_back(name);
      EXPECT_EQ(r->DisplayName, name);
      if (detail == TProgramDetail::Full) {
        EXPECT_EQ(r->FolderName, L"Quor Many " + name.substr(prefix.size()));
      }
    }
    EXPECT_EQ(listed, expected);
  }
}

TEST_F(EnumProgramsTest, AKeyThatRefusesReadAccessIsPassedOver) {
  TempRegistration locked(TLocation::UserNative);
  locked.SetString(L"DisplayName", L"Quor locked");
  TempRegistration open(TLocation::UserNative);
  open.SetString(L"DisplayName", L"Quor open");
  test::DenyAllAccess(locked.Root(), locked.Path());
  EnumPrograms(list);
  EXPECT_EQ(Find(locked), nullptr);
  EXPECT_NE(Find(open), nullptr);
}

}  // namespace
}  // namespace quor
