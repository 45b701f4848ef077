// The scan and removal on a hostile or unlucky machine: install locations
// spelled to reach well-known folders, names that occur in other programs'
// names, generic folder words, shared and nested folders, links.

#include <gtest/gtest.h>
#include <shlobj.h>
#include <knownfolders.h>

#include <functional>

#include "base/CanonicalPath.h"
#include "engine/ScanFixture.h"
#include "support/RawRegistry.h"
#include "support/TempFolder.h"
#include "support/TempRegistration.h"
#include "support/TestNames.h"

namespace quor {
namespace {

using test::Expand;
using test::TempFolder;
using test::TempKey;

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Never with KF_FLAG_CREATE: Wine then makes the folder a link to the Linux
// home again. A folder that an earlier failure removed is made plainly.
std::wstring KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path))) result = path;
  ::CoTaskMemFree(path);
  if (!result.empty()) ::CreateDirectoryW(result.c_str(), nullptr);
  return result;
}

std::wstring Canonical(const std::wstring& folder) {
  auto c = CanonicalFolder(folder);
  return c ? c->Path : folder;
}

class ScanGuardTest : public test::ScanFixture {
 protected:
  void SetUp() override {
    ScanFixture::SetUp();
    tag = test::UniqueName(L"Qg");
    registration = std::make_unique<test::TempRegistration>(test::TLocation::UserNative);
  }

  TUninstallItem Item(const std::wstring& name, const std::wstring& location) const {
    TUninstallItem item;
    item.DisplayName = name;
    item.InstallLocation = location;
    item.FolderName = GetFolderNameOf(location);
    item.RootKey = registration->Root();
    item.KeyPath = registration->Path();
    return item;
  }

  // As the enumeration derives it, without its generic-name filter, so that
  // the scan's own filter is what is tested.
  static std::wstring GetFolderNameOf(const std::wstring& location) {
    std::wstring path = location;
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'"')) path.pop_back();
    const size_t at = path.find_last_of(L"\\/");
    return at == std::wstring::npos ? std::wstring() : path.substr(at + 1);
  }

  static bool AnyItemAtOrBelow(const TUninstallObject& p, const std::wstring& folder) {
    for (int32_t i = 0; i < p.LeftoverCount(); ++i) {
      const TLeftOverItem* item = p.GetLeftover(i);
      if (item->Kind > lkFolder) continue;
      std::wstring path = item->Path;
      while (path.size() > 3 && path.back() == L'\\') path.pop_back();
      if (IsAtOrBelow(path, folder) || IsAtOrBelow(folder, path)) return true;
    }
    return false;
  }

  struct TermExpectation {
    std::wstring path;                    // a leftover path as the scan writes it
    std::optional<TConfidence> expected;  // nothing: not listed
  };
  static void ExpectItems(const TUninstallObject& p, const std::vector<TermExpectation>& rows,
                          const std::wstring& dump) {
    for (const auto& row : rows) {
      EXPECT_EQ(Confidence(p, row.path), row.expected) << ToUtf8(row.path) << "\n" << ToUtf8(dump);
    }
  }

  std::wstring tag;
  std::unique_ptr<test::TempRegistration> registration;
};

// Each spelling names a well-known folder (or nothing): the scan lists no
// tree of it and the removal leaves a canary inside it.
TEST_F(ScanGuardTest, SpellingsOfWellKnownFoldersListNoTreeAndLoseNothing) {
  const std::wstring documents = Canonical(KnownFolder(FOLDERID_Documents));
  const std::wstring profile = Canonical(KnownFolder(FOLDERID_Profile));
  const std::wstring downloads = Canonical(KnownFolder(FOLDERID_Downloads));
  ASSERT_FALSE(documents.empty());
  std::wstring slashes = documents;
  for (auto& c : slashes) c = c == L'\\' ? L'/' : c;
  std::wstring doubled = documents;
  doubled.insert(documents.find(L'\\', 3), L"\\");
  wchar_t shortName[MAX_PATH] = {};
  ::GetShortPathNameW(documents.c_str(), shortName, MAX_PATH);
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring windowsTemp = std::wstring(windows) + L"\\Temp";
  ::CreateDirectoryW(windowsTemp.c_str(), nullptr);
  TempFolder otherUser(TempFolder::At{profile.substr(0, profile.rfind(L'\\')), L"quoralice" + tag});

  struct Case {
    std::wstring location;
    std::wstring guarded;  // the folder whose canary must survive
  } cases[] = {
      {documents + L"\\x\\..", documents},
      {slashes, documents},
      {L"\\\\.\\" + documents, documents},
      {documents + L".", documents},
      {documents + L"\\.", documents},
      {doubled, documents},
      {shortName, documents},
      {L"\"" + documents + L"\\\"", documents},
      {L"%USERPROFILE%\\Documents", documents},
      {L"\\\\localhost\\C$" + documents.substr(2), documents},
      {L"C:.", profile},
      {L"C:..", profile},
      {profile, profile},
      {L"C:\\", profile},
      {downloads, downloads},
      {otherUser.Path(), otherUser.Path()},
      {windowsTemp, windowsTemp},
  };
  for (const auto& c : cases) {
    const std::wstring canary = c.guarded + L"\\quor-canary-" + tag + L".txt";
    HANDLE h = ::CreateFileW(canary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << ToUtf8(canary);
    ::CloseHandle(h);

    const auto program = Program(Item(L"Quor Guard " + tag, c.location));
    Scan(program);
    EXPECT_FALSE(AnyItemAtOrBelow(*program, c.guarded))
        << ToUtf8(c.location) << "\n" << ToUtf8(Dump(*program));
    Remove(program);
    EXPECT_TRUE(test::PathExists(canary)) << ToUtf8(c.location);
    ::DeleteFileW(canary.c_str());
  }
}

TEST_F(ScanGuardTest, AShortNameTakesOnlyWhatIsNamedAfterIt) {
  const std::wstring pf = Expand(L"%ProgramW6432%");
  TempFolder install(TempFolder::At{pf, L"Git"});
  install.MakeFile(L"git-bash.exe");
  TempFolder ghCli(TempFolder::At{pf, L"GitHub CLI"});
  ghCli.MakeFile(L"gh.exe");
  TempFolder digital(TempFolder::At{pf, L"Digital Tools"});
  TempFolder desktopApp(TempFolder::At{Expand(L"%appdata%"), L"GitHub Desktop"});
  TempFolder notes(TempFolder::At{Expand(L"%DESKTOPDIRECTORY%"), L"my-git-notes"});
  notes.MakeFile(L"todo.txt");
  TempFolder legit(TempFolder::At{Expand(L"%PUBLIC%"), L"Documents\\legit-contracts"});
  TempFolder ownData(TempFolder::At{Expand(L"%appdata%"), L"Git"});
  TempKey github(HKEY_CURRENT_USER, L"Software\\GitHub");
  TempKey tortoise(HKEY_CURRENT_USER, L"Software\\TortoiseGit");
  TempKey own(HKEY_CURRENT_USER, L"Software\\Git");
  TempKey run(HKEY_CURRENT_USER, kRunKey);
  const std::wstring ownRun = L"QuorGitTray" + tag, otherRun = L"QuorGhTray" + tag;
  run.SetString(ownRun, L"\"" + install.Path() + L"\\git-bash.exe\" --tray");
  run.SetString(otherRun, L"\"" + ghCli.Path() + L"\\gh.exe\" --tray");

  const auto program = Program(Item(L"Git", install.Path()));
  Scan(program);
  const std::wstring hkcu = L"HKEY_CURRENT_USER\\";
  ExpectItems(*program,
              {
                  {install.Path() + L"\\", TConfidence::High},
                  {ownData.Path() + L"\\", TConfidence::High},
                  {hkcu + L"Software\\Git", TConfidence::High},
                  {hkcu + kRunKey + L"\\" + ownRun, TConfidence::High},
                  {notes.Path() + L"\\", TConfidence::Low},
                  {notes.Path() + L"\\todo.txt", TConfidence::Low},
                  {ghCli.Path() + L"\\", std::nullopt},
                  {digital.Path() + L"\\", std::nullopt},
                  {desktopApp.Path() + L"\\", std::nullopt},
                  {legit.Path() + L"\\", std::nullopt},
                  {hkcu + L"Software\\GitHub", std::nullopt},
                  {hkcu + L"Software\\TortoiseGit", std::nullopt},
                  {hkcu + kRunKey + L"\\" + otherRun, std::nullopt},
              },
              Dump(*program));
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, ownRun.c_str());
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, otherRun.c_str());
}

// Names and folders that are generic words, a one-letter name and a product
// code that is no GUID: only what is truly the program's, strongly.
TEST_F(ScanGuardTest, GenericWordsOneLettersAndFalseGuidsIdentifyNothing) {
  const std::wstring pf = Expand(L"%ProgramW6432%");
  TempFolder vendor(TempFolder::At{pf, L"QuorVendor" + tag});
  vendor.MakeFile(L"Application\\app.exe");
  vendor.MakeFile(L"Installer\\setup.exe");
  TempFolder letter(TempFolder::At{Expand(L"%appdata%"), L"A"});
  TempKey typeKey(HKEY_CURRENT_USER, L"Software\\Classes\\QuorType" + tag);
  typeKey.SetString(L"", L"Application");
  TempKey msiKey(HKEY_CURRENT_USER, L"Software\\Classes\\Msi.Quor" + tag);
  msiKey.SetString(L"", vendor.Path() + L"\\Installer\\setup.exe");

  struct Case {
    const char* what;
    std::wstring name, location, guid;
  } cases[] = {
      {"application folder", L"Quor App " + tag, vendor.Path() + L"\\Application", L""},
      {"installer folder", L"Quor Inst " + tag, vendor.Path() + L"\\Installer\\", L""},
      {"one letter", L"A", L"", L""},
      {"generic name", L"Tools", L"", L""},
      {"guid 1", L"Quor Guid " + tag, L"", L"1"},
  };
  const std::wstring hkcr = L"HKEY_CLASSES_ROOT\\";
  for (const auto& c : cases) {
    TUninstallItem item = Item(c.name, c.location);
    item.ProductGuid = c.guid;
    const auto program = Program(item);
    Scan(program);
    const std::wstring dump = Dump(*program);
    for (const wchar_t* shared : {L"exefile", L"Msi.Package", L"WindowsInstaller.Installer", L".msi",
                                  L"CLSID", L"TypeLib"}) {
      EXPECT_EQ(IndexOf(*program, hkcr + shared), -1) << c.what << "\n" << ToUtf8(dump);
    }
    EXPECT_EQ(IndexOf(*program, L"HKEY_LOCAL_MACHINE\\Software\\Classes"), -1) << c.what;
    EXPECT_EQ(IndexOf(*program, L"HKEY_CURRENT_USER\\Software\\Classes\\QuorType" + tag), -1)
        << c.what;
    EXPECT_EQ(IndexOf(*program, L"HKEY_CURRENT_USER\\Software\\Classes\\Msi.Quor" + tag), -1)
        << c.what;
    // Whatever else the machine holds: nothing strong but the program's own
    // things. (Tests running meanwhile make "Quor..." keys and folders; a key
    // of theirs named "A" is rightly A's.)
    for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
      const TLeftOverItem* it = program->GetLeftover(i);
      if (it->Confidence == TConfidence::Low || it->Path.find(L"\\Quor") != std::wstring::npos) continue;
      const bool own = it->MatchedBy == TMatchedBy::Registration ||
                       it->MatchedBy == TMatchedBy::InstallFolder ||
                       IsAtOrBelow(it->Path, letter.Path()) ||
                       IsAtOrBelow(it->Path, vendor.Path()) || it->MatchedBy == TMatchedBy::Location;
      EXPECT_TRUE(own) << c.what << ": " << ToUtf8(it->Path);
      EXPECT_NE(it->MatchedBy, TMatchedBy::Guid) << c.what << ": " << ToUtf8(it->Path);
    }
  }
}

TEST_F(ScanGuardTest, TheLocationMatchesItsOwnFolderNotItsSiblings) {
  TempFolder acme(TempFolder::At{Expand(L"%ProgramW6432%"), L"QuorAcme" + tag});
  const std::wstring foo = acme.MakeFolder(L"Foo");
  acme.MakeFile(L"Foo\\foo.exe");
  acme.MakeFile(L"Foo Tools\\tools.exe");
  acme.MakeFile(L"Foobar\\bar.exe");
  TempKey run(HKEY_CURRENT_USER, kRunKey);
  const std::wstring ownRun = L"QuorFoo" + tag, siblingRun = L"QuorFooTools" + tag;
  run.SetString(ownRun, foo + L"\\foo.exe");
  run.SetString(siblingRun, acme.Path() + L"\\Foo Tools\\tools.exe");
  TUninstallItem item = Item(L"Quor Zeta " + tag, foo);
  item.FolderName.clear();
  const auto program = Program(item);
  Scan(program);
  const std::wstring run64 = std::wstring(L"HKEY_CURRENT_USER\\") + kRunKey + L"\\";
  ExpectItems(*program,
              {
                  {foo + L"\\foo.exe", TConfidence::High},
                  {run64 + ownRun, TConfidence::High},
                  {acme.Path() + L"\\Foo Tools\\", std::nullopt},
                  {acme.Path() + L"\\Foobar\\", std::nullopt},
                  {run64 + siblingRun, std::nullopt},
              },
              Dump(*program));
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, ownRun.c_str());
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, siblingRun.c_str());
}

TEST_F(ScanGuardTest, ANameInsideALongerWordIsWeak) {
  const std::wstring name = L"Zephyrnote" + tag;
  TempFolder strong(TempFolder::At{Expand(L"%appdata%"), name + L" Data"});
  TempFolder weak(TempFolder::At{Expand(L"%appdata%"), L"Old" + name});
  const auto program = Program(Item(name, L""));
  Scan(program);
  ExpectItems(*program,
              {{strong.Path() + L"\\", TConfidence::High}, {weak.Path() + L"\\", TConfidence::Low}},
              Dump(*program));
}

// A removal's backup set carries the program's name; it is never the
// program's leftover, neither in the local nor in the roaming folder.
TEST_F(ScanGuardTest, ThisProgramsOwnFoldersAreNeverLeftovers) {
  const std::wstring name = L"Zephyrnote" + tag;
  TempFolder backups(TempFolder::At{Expand(L"%LOCALAPPDATA%\\Quor Uninstaller\\Backups"),
                                    L"2026-12-10 120000 " + name});
  const std::wstring saved = backups.MakeFile(L"files\\1\\" + name + L".ini");
  TempFolder settings(TempFolder::At{Expand(L"%APPDATA%\\Quor Uninstaller"), name});
  const std::wstring setting = settings.MakeFile(L"x.txt");
  const auto program = Program(Item(name, L""));
  Scan(program);
  EXPECT_FALSE(AnyItemAtOrBelow(*program, Expand(L"%LOCALAPPDATA%\\Quor Uninstaller")))
      << ToUtf8(Dump(*program));
  EXPECT_FALSE(AnyItemAtOrBelow(*program, Expand(L"%APPDATA%\\Quor Uninstaller")))
      << ToUtf8(Dump(*program));
  Remove(program);
  EXPECT_TRUE(test::PathExists(saved));
  EXPECT_TRUE(test::PathExists(setting));
}

// Alpha sits in a shared vendor folder that also holds Beta, registered on
// its own: nothing of the vendor folder is Alpha's to list.
TEST_F(ScanGuardTest, AFolderHoldingAnotherRegisteredProgramIsNotListed) {
  TempFolder vendor(TempFolder::At{Expand(L"%CommonProgramW6432%"), L"QuorContoso" + tag});
  vendor.MakeFile(L"alpha.dll");
  const std::wstring betaExe = vendor.MakeFile(L"Beta\\beta.exe");
  test::TempRegistration beta(test::TLocation::MachineNative);
  beta.SetString(L"DisplayName", L"Quor Beta " + tag);
  beta.SetString(L"InstallLocation", vendor.Path() + L"\\Beta");

  const auto program = Program(Item(L"Quor Alpha " + tag, vendor.Path()));
  Scan(program);
  EXPECT_FALSE(AnyItemAtOrBelow(*program, vendor.Path())) << ToUtf8(Dump(*program));
  Remove(program);
  EXPECT_TRUE(test::PathExists(betaExe));
}

// Quotes (an uninstall command's folder) and "%NAME%" are other spellings of
// a folder that is the program's: they keep the location and folder terms.
TEST_F(ScanGuardTest, QuotedAndVariableLocationsStillFindTheProgram) {
  const std::wstring folderName = L"ZetaDir" + tag;
  TempFolder install(TempFolder::At{Expand(L"%ProgramW6432%"), folderName});
  install.MakeFile(L"zeta.exe");
  TempFolder appData(TempFolder::At{Expand(L"%LOCAL_APPDATA%"), folderName});
  TempFolder x86(TempFolder::At{Expand(L"%PROGRAM_FILESX86%"), folderName});
  for (const std::wstring& location :
       {L"\"" + install.Path() + L"\\", L"%ProgramW6432%\\" + folderName}) {
    TUninstallItem item = Item(L"Quor Zeta " + tag, location);
    item.FolderName = folderName;
    const auto program = Program(item);
    Scan(program);
    ExpectItems(*program,
                {{install.Path() + L"\\zeta.exe", TConfidence::High},
                 {appData.Path() + L"\\", TConfidence::High},
                 {x86.Path() + L"\\", TConfidence::High}},
                Dump(*program));
  }
}

// Names that are common words ("Open", "Print") against class keys that
// other programs share, and names against other programs' values: nothing
// shared or foreign is taken strongly, while the program's own keys and
// values still are.
TEST_F(ScanGuardTest, SharedClassKeysAndForeignValuesAreNotTakenByAName) {
  // Machine classes show in HKEY_CLASSES_ROOT on every system; a user's own
  // only on some. A file type and the class it points to, a protocol of the
  // user's, each with the verbs every class has.
  const std::wstring classes = L"Software\\Classes\\";
  TempKey fileType(HKEY_LOCAL_MACHINE, classes + L".qz" + tag);
  fileType.SetString(L"", L"QuorTxt" + tag);
  TempKey txt(HKEY_LOCAL_MACHINE, classes + L"QuorTxt" + tag);
  txt.CreateSubKey(L"Open");
  TempKey txtOpen(HKEY_LOCAL_MACHINE, txt.CreateSubKey(L"shell\\open\\command"));
  txtOpen.SetString(L"", L"\"C:\\Program Files\\Other\\other.exe\" \"%1\"");
  txt.CreateSubKey(L"shell\\print\\command");
  TempKey userType(HKEY_CURRENT_USER, classes + L".qzu" + tag);
  userType.SetString(L"", L"QuorUserTxt" + tag);
  TempKey userTxt(HKEY_CURRENT_USER, classes + L"QuorUserTxt" + tag);
  userTxt.CreateSubKey(L"Open");
  TempKey protocol(HKEY_CURRENT_USER, classes + L"quorproto" + tag);
  protocol.SetString(L"URL Protocol", L"");
  protocol.CreateSubKey(L"Open");
  protocol.CreateSubKey(L"shell\\open\\command");
  // Fixed shared names, as every machine has them (made here if missing).
  TempKey exefile(HKEY_LOCAL_MACHINE, classes + L"exefile\\shell\\open\\QuorProbe" + tag);
  TempKey txtfile(HKEY_LOCAL_MACHINE, classes + L"txtfile\\shell\\print\\QuorProbe" + tag);
  TempKey msi(HKEY_LOCAL_MACHINE, classes + L"Msi.Package\\shell\\Open\\QuorProbe" + tag);
  // The program's own: a key named after it, and a class whose command runs it.
  TempFolder install(TempFolder::At{Expand(L"%ProgramW6432%"), L"QuorOpen" + tag});
  const std::wstring exe = install.MakeFile(L"open.exe");
  TempKey ownKey(HKEY_CURRENT_USER, L"Software\\Open");
  TempKey ownType(HKEY_LOCAL_MACHINE, classes + L".qzown" + tag);
  ownType.SetString(L"", L"Open.Document" + tag);
  TempKey ownClass(HKEY_LOCAL_MACHINE, classes + L"Open.Document" + tag);
  TempKey ownCommand(HKEY_LOCAL_MACHINE, ownClass.CreateSubKey(L"shell\\open\\command"));
  ownCommand.SetString(L"", L"\"" + exe + L"\" \"%1\"");
  // Values of other programs, and the programs' own.
  TempKey run(HKEY_CURRENT_USER, kRunKey);
  TempKey competitor(HKEY_CURRENT_USER, L"Software\\QuorCompetitor" + tag);
  competitor.SetString(L"Competitor", L"Zqx Tool");
  const std::vector<std::pair<std::wstring, std::wstring>> values = {
      {L"QuorMin" + tag, L"\"C:\\Program Files\\Other\\other.exe\" /min"},
      {L"QuorTray" + tag, L"other.exe /tray /silent"},
      {L"QuorProfile" + tag, L"\"C:\\Program Files\\Other\\other.exe\" --profile \"Zqx Tool\""},
      {L"QuorOwnMin" + tag, L"\"C:\\Program Files\\Min\\min.exe\" -tray"},
      {L"QuorOwnZqx" + tag, L"C:\\Program Files\\Zqx Tool\\zqx.exe /background"},
      {L"QuorOwnOpen" + tag, L"\"" + exe + L"\" /min"},
  };
  for (const auto& [name, data] : values) run.SetString(name, data);

  const std::wstring hkcr = L"HKEY_CLASSES_ROOT\\", hkcu = L"HKEY_CURRENT_USER\\";
  const std::wstring runPath = hkcu + kRunKey + L"\\";
  struct Case {
    const wchar_t* name;
    std::wstring location;
    std::vector<TermExpectation> rows;
  } cases[] = {
      {L"Open",
       install.Path(),
       {{hkcr + L"QuorTxt" + tag + L"\\shell\\open", std::nullopt},
        {hkcr + L"QuorTxt" + tag + L"\\Open", std::nullopt},
        {L"HKEY_LOCAL_MACHINE\\" + classes + L"QuorTxt" + tag + L"\\Open", std::nullopt},
        {hkcu + classes + L"QuorUserTxt" + tag + L"\\Open", std::nullopt},
        {hkcu + classes + L"quorproto" + tag + L"\\Open", std::nullopt},
        {hkcr + L"exefile\\shell\\open", std::nullopt},
        {hkcr + L"Msi.Package\\shell\\Open", std::nullopt},
        {hkcu + L"Software\\Open", TConfidence::High},
        {hkcr + L"Open.Document" + tag, TConfidence::High},
        {runPath + L"QuorOwnOpen" + tag, TConfidence::High}}},
      {L"Print",
       L"",
       {{hkcr + L"txtfile\\shell\\print", std::nullopt},
        {hkcr + L"QuorTxt" + tag + L"\\shell\\print", std::nullopt}}},
      {L"Min",
       L"",
       {{runPath + L"QuorMin" + tag, std::nullopt},
        {runPath + L"QuorOwnMin" + tag, TConfidence::High}}},
      {L"Tray",
       L"",
       {{runPath + L"QuorTray" + tag, std::nullopt},
        {runPath + L"QuorOwnMin" + tag, std::nullopt}}},
      {L"Zqx Tool",
       L"",
       {{runPath + L"QuorProfile" + tag, TConfidence::Low},
        {hkcu + competitor.Path() + L"\\Competitor", TConfidence::Low},
        {runPath + L"QuorOwnZqx" + tag, TConfidence::High}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.name));
    TUninstallItem item = Item(c.name, c.location);
    item.FolderName.clear();
    const auto program = Program(item);
    Scan(program);
    const std::wstring dump = Dump(*program);
    ExpectItems(*program, c.rows, dump);
    // Nothing strong at any depth of a shared class.
    for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
      const TLeftOverItem* it = program->GetLeftover(i);
      if (it->Confidence == TConfidence::Low || it->Kind < lkRegKey) continue;
      for (const std::wstring& shared : std::vector<std::wstring>{
               L"\\exefile\\", L"\\txtfile\\", L"\\Msi.Package\\", L"\\http\\", L"\\https\\",
               L"\\htmlfile\\", L"\\folder\\", L"\\Directory\\", L"\\QuorTxt" + tag,
               L"\\QuorUserTxt" + tag, L"\\quorproto" + tag}) {
        EXPECT_EQ(FindAscii(it->Path, shared), std::wstring::npos) << ToUtf8(it->Path);
      }
    }
  }
  for (const auto& [name, data] : values)
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, name.c_str());
}

TEST_F(ScanGuardTest, AnInstallFolderThatIsALinkIsListedAsTheLinkAlone) {
  TempFolder target;
  const std::wstring canary = target.MakeFile(L"victim.txt");
  const std::wstring link = Expand(L"%ProgramW6432%") + L"\\QuorLinked" + tag;
  if (!test::MakeFolderLink(link, target.Path())) GTEST_SKIP() << "no folder links here";
  const auto program = Program(Item(L"Quor Linked " + tag, link));
  Scan(program);
  EXPECT_EQ(Confidence(*program, link + L"\\"), TConfidence::High) << ToUtf8(Dump(*program));
  EXPECT_EQ(IndexOf(*program, link + L"\\victim.txt"), -1);
  Remove(program);
  EXPECT_TRUE(test::PathExists(canary));
  // The link goes as itself where the system can tell it from its target;
  // elsewhere (Wine) it stays, kept with its reason. Either way the
  // registration goes: nothing meant to go failed.
  const int at = IndexOf(*program, link + L"\\");
  if (test::PathExists(link)) {
    EXPECT_EQ(program->LeftoverState(at), TRemovalState::Kept);
    EXPECT_NE(program->LeftoverError(at).find(L"a link, left in place"), std::wstring::npos)
        << ToUtf8(program->LeftoverError(at));
  } else {
    EXPECT_EQ(program->LeftoverState(at), TRemovalState::Removed);
  }
  EXPECT_FALSE(KeyExists(registration->Root(), registration->Path()));
  test::RemoveTree(link);
}

// A registry link is never followed (what lies behind it is not examined)
// and a name holding a NUL is never listed: no deletion could name it.
TEST_F(ScanGuardTest, RegistryLinksAreNotFollowedAndNulNamesNotListed) {
  const std::wstring appName = L"Quor Hostile " + tag;
  TempKey victim(HKEY_CURRENT_USER, L"Software\\QuorVictim" + tag + L"\\Deep\\Deeper\\Deepest");
  victim.SetString(L"Path", L"C:\\Apps\\" + appName + L"\\app.exe");
  TempKey other(HKEY_CURRENT_USER, L"Software\\QuorOther" + tag);
  const std::wstring outside = other.Path() + L"\\outside";
  const std::wstring named = other.Path() + L"\\" + appName;
  const std::wstring nulName = std::wstring(L"Victim") + L'\0' + appName;
  const bool links = test::MakeRegistryLink(HKEY_CURRENT_USER, outside,
                                      test::NativeUserKeyPath() + L"\\" + victim.Path()) &&
                     test::MakeRegistryLink(HKEY_CURRENT_USER, named,
                                      test::NativeUserKeyPath() + L"\\" + victim.Path());
  const bool nul = test::CreateRawKey(HKEY_CURRENT_USER, other.Path(), nulName);

  const auto program = Program(Item(appName, L""));
  Scan(program);
  const std::wstring hkcu = L"HKEY_CURRENT_USER\\";
  const std::wstring dump = Dump(*program);
  EXPECT_TRUE(links);
  EXPECT_TRUE(nul);
  EXPECT_EQ(IndexOf(*program, hkcu + outside + L"\\Path"), -1) << ToUtf8(dump);
  // The link named after the program is the program's: listed, as the link.
  EXPECT_EQ(Confidence(*program, hkcu + named), TConfidence::High) << ToUtf8(dump);
  EXPECT_EQ(IndexOf(*program, hkcu + named + L"\\Deep"), -1);
  for (int32_t i = 0; i < program->LeftoverCount(); ++i) {
    EXPECT_EQ(program->GetLeftover(i)->Path.find(L'\0'), std::wstring::npos);
  }
  // Links and the odd name go first: the fixtures' own clean-up walks keys.
  test::DropRegistryLink(HKEY_CURRENT_USER, outside);
  test::DropRegistryLink(HKEY_CURRENT_USER, named);
  test::DeleteRawKey(HKEY_CURRENT_USER, other.Path(), nulName);
}

}  // namespace
}  // namespace quor
