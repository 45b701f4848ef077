#include "engine/LeftoverScan.h"

#include <shlwapi.h>

#include "base/Handles.h"
#include "base/LongPath.h"
#include "base/Text.h"
#include "engine/LeftoverRules.h"
#include "engine/UninstallHelper.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

bool Contains(const std::wstring& foldedText, const std::wstring& term) {
  return !term.empty() && foldedText.find(term) != std::wstring::npos;
}

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

bool IsFolder(const WIN32_FIND_DATAW& e) { return (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool IsLink(const WIN32_FIND_DATAW& e) { return (e.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// Every entry of a folder, hidden and system ones included, in listing order.
std::vector<WIN32_FIND_DATAW> ListFolder(const std::wstring& folder) {
  std::vector<WIN32_FIND_DATAW> entries;
  WIN32_FIND_DATAW data{};
  UniqueFindHandle find(::FindFirstFileExW(LongPath(IncludeBackslash(folder) + L"*.*").c_str(),
                                           FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return entries;
  do {
    if (!IsDots(data.cFileName)) entries.push_back(data);
  } while (::FindNextFileW(find.Get(), &data));
  return entries;
}

std::wstring Extension(const std::wstring& name) {
  const size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos ? std::wstring() : LowerAscii(name.substr(dot));
}

}  // namespace

TMatchTerms MakeMatchTerms(const TUninstallObject& program, const TProtectedFolders& guard) {
  TMatchTerms terms;
  terms.Location = LowerAscii(Trim(program.InstallLocation));
  terms.Name = LowerAscii(Trim(program.DisplayName));
  terms.Folder = LowerAscii(Trim(program.FolderName));
  terms.Guid = LowerAscii(Trim(program.ProductGuid));
  if (!terms.Location.empty() && guard.Contains(terms.Location)) {
    terms.Location.clear();
    terms.Folder.clear();
  }
  return terms;
}

TLeftoverScan::TLeftoverScan(TUninstallHelper& engine, TUninstallObject& program)
    : FEngine(engine), FProgram(program), FTerms(MakeMatchTerms(program, FGuard)) {}

bool TLeftoverScan::Cancelled() const { return FEngine.Cancelled(); }

void TLeftoverScan::Run() {
  FEngine.SetProgress(0);
  FProgram.ClearLeftovers();

  const std::wstring location = Trim(FProgram.InstallLocation);
  if (!location.empty() && !FGuard.Contains(location) &&
      ::PathFileExistsW(LongPath(FProgram.InstallLocation).c_str())) {
    AddFolderTree(location);
  }
  for (const auto& root : FolderRoots) {
    if (Cancelled()) return;
    SearchFolder(root);
    FEngine.SetProgress(FEngine.Progress() + 1);
    FEngine.RaiseProgress();
  }
  if (!FProgram.KeyPath.empty() && KeyExists(FProgram.RootKey, FProgram.KeyPath, true)) {
    AddRegItem(FProgram.RootKey, FProgram.KeyPath, L"", true);
  }
  for (const auto& rule : RegistryRules) {
    if (Cancelled()) return;
    RunRule(rule);
    FEngine.SetProgress(FEngine.Progress() + 1);
    FEngine.RaiseProgress();
  }
}

void TLeftoverScan::AddPathItem(const std::wstring& folder, const std::wstring& name, uint8_t kind) {
  std::wstring path = IncludeBackslash(folder) + name;
  if (kind == lkFolder) path = IncludeBackslash(path);
  FProgram.AddLeftover({path, kind});
}

void TLeftoverScan::AddFolderTree(const std::wstring& folder) {
  AddPathItem(folder, L"", lkFolder);
  AddFolderTreeEntries(folder);
}

// A folder link is listed as an item of its own (the removal takes away the
// link, never what it points at) but not walked: it may loop.
void TLeftoverScan::AddFolderTreeEntries(const std::wstring& folder) {
  for (const auto& entry : ListFolder(folder)) {
    if (Cancelled()) return;
    if (IsFolder(entry)) {
      AddPathItem(folder, entry.cFileName, lkFolder);
      if (!IsLink(entry)) AddFolderTreeEntries(IncludeBackslash(folder) + entry.cFileName);
    } else {
      AddPathItem(folder, entry.cFileName, lkFile);
    }
  }
}

void TLeftoverScan::SearchFolder(const std::wstring& folder) {
  const std::vector<WIN32_FIND_DATAW> entries = ListFolder(folder);
  // Shortcuts first, then folders, each in listing order.
  for (const auto& entry : entries) {
    if (Cancelled()) return;
    if (!IsFolder(entry) && Extension(entry.cFileName) == L".lnk" && IsRelatedFile(folder, entry)) {
      AddPathItem(folder, entry.cFileName, lkFile);
    }
  }
  for (const auto& entry : entries) {
    if (Cancelled()) return;
    if (!IsFolder(entry) || IsLink(entry)) continue;
    const std::wstring path = folder + entry.cFileName;
    // A related folder that holds well-known folders is searched, not listed.
    if (IsRelatedFile(folder, entry) && !FGuard.Contains(path)) {
      AddFolderTree(path);
    } else {
      SearchFolder(IncludeBackslash(path));
    }
  }
}

bool TLeftoverScan::IsRelatedFile(const std::wstring& folder, const WIN32_FIND_DATAW& entry) const {
  const std::wstring name = LowerAscii(entry.cFileName);
  if (Extension(name) == L".lnk") {
    const std::wstring target = LowerAscii(GetLinkTarget(folder + entry.cFileName));
    if (Contains(target, FTerms.Location) || Contains(target, FTerms.Name) ||
        Contains(target, FTerms.Folder)) {
      return true;
    }
  } else if (Contains(LowerAscii(folder) + name, FTerms.Location) || Contains(name, FTerms.Name) ||
             Contains(name, FTerms.Folder)) {
    return true;
  }
  return Contains(name, FTerms.Guid);
}

void ScanLeftovers(TUninstallHelper& engine, TUninstallObject& program) {
  TLeftoverScan(engine, program).Run();
}

}  // namespace quor
