#include "engine/LeftoverScan.h"

#include "base/CanonicalPath.h"
#include "base/Com.h"
#include "base/FindFile.h"
#include "base/LongPath.h"
#include "base/Text.h"
#include "engine/LeftoverRules.h"
#include "engine/EngineCore.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

// What the walks keep of a directory entry.
struct TDirEntry {
  std::wstring Name;
  bool Folder = false;
  bool Link = false;
};

std::vector<TDirEntry> ListEntries(const std::wstring& folder) {
  std::vector<TDirEntry> entries;
  for (TFindFile find(folder); find.Next();) {
    entries.push_back({find.Name(), find.IsFolder(), find.IsLink()});
  }
  return entries;
}

bool IsShortcutName(const std::wstring& name) {
  const size_t dot = name.rfind(L'.');
  return dot != std::wstring::npos && SameTextAscii(std::wstring_view(name).substr(dot), L".lnk");
}

// A folder listed or walked: its entries and how far the walk has come.
struct TFolderFrame {
  std::wstring Folder;  // ends in a backslash
  std::vector<TDirEntry> Entries;
  size_t Next = 0;
};

}  // namespace

TLeftoverScan::TLeftoverScan(TEngineCore& engine, TUninstallObject& program)
    : TLeftoverScan(engine, program, TProtectedFolders::ForProgram(&program)) {}

TLeftoverScan::TLeftoverScan(TEngineCore& engine, TUninstallObject& program,
                             TProtectedFolders guard)
    : FEngine(engine),
      FProgram(program),
      FGuard(std::move(guard)),
      FTerms(MakeMatchTerms(program, FGuard)) {
  FSharedTerms.Location = FTerms.Location;
  FSharedTerms.Guid = FTerms.Guid;
}

bool TLeftoverScan::Cancelled() const { return FEngine.Cancelled(); }

void TLeftoverScan::Run() {
  FEngine.SetProgress(0);
  FProgram.ClearLeftovers();
  const TComInit com;  // for the shortcuts, once for the whole scan

  AddInstallFolder();
  for (const auto& root : FolderRoots) {
    if (Cancelled()) return;
    // A root whose template named no folder is passed over.
    if (CanonicalFolderText(root)) SearchFolder(root);
    FEngine.SetProgress(FEngine.Progress() + 1);
    FEngine.ReportProgress();
  }
  if (!FProgram.KeyPath.empty() && KeyExists(FProgram.RootKey, FProgram.KeyPath, true)) {
    AddRegItem(FProgram.RootKey, FProgram.KeyPath, L"", true, {TMatchedBy::Registration});
  }
  for (const auto& rule : RegistryRules) {
    if (Cancelled()) return;
    RunRule(rule);
    FEngine.SetProgress(FEngine.Progress() + 1);
    FEngine.ReportProgress();
  }
}

// The install folder in its canonical spelling, unless it is protected. An
// install folder that is a link is listed as the link alone: the removal
// takes the link away, never what it points at.
void TLeftoverScan::AddInstallFolder() {
  const auto location = FGuard.Canonical(FProgram.InstallLocation);
  if (!location || !location->Exists || FGuard.Contains(*location)) return;
  const DWORD attrs = ::GetFileAttributesW(LongPath(location->Path).c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) return;
  const TMatch match{TMatchedBy::InstallFolder};
  if (location->IsLink) {
    AddPathItem(location->Path, L"", lkFolder, match);
  } else {
    AddFolderTree(location->Path, match, TMatchedBy::InstallFolder);
  }
}

void TLeftoverScan::AddPathItem(const std::wstring& folder, const std::wstring& name, uint8_t kind,
                                const TMatch& match) {
  std::wstring path = IncludeBackslash(folder) + name;
  if (kind == lkFolder) path = IncludeBackslash(path);
  TLeftOverItem item(std::move(path), kind);
  item.MatchedBy = match.By;
  item.Confidence = match.Confidence;
  FProgram.AddLeftover(item);
}

void TLeftoverScan::AddFolderTree(const std::wstring& folder, const TMatch& match,
                                  TMatchedBy below) {
  AddPathItem(folder, L"", lkFolder, match);
  AddFolderTreeEntries(folder, TMatch{below, match.Confidence});
}

// Depth first, each folder before its contents and a subfolder's whole tree
// before the next entry, on an explicit stack: a tree thousands of levels
// deep must not exhaust the thread's. A folder link is listed as an item of
// its own (the removal takes away the link) but not walked: it may loop.
void TLeftoverScan::AddFolderTreeEntries(const std::wstring& folder, const TMatch& match) {
  std::vector<TFolderFrame> stack;
  stack.push_back({IncludeBackslash(folder), ListEntries(folder)});
  while (!stack.empty()) {
    if (Cancelled()) return;
    TFolderFrame& top = stack.back();
    if (top.Next == top.Entries.size()) {
      stack.pop_back();
      continue;
    }
    const TDirEntry entry = top.Entries[top.Next++];
    if (!entry.Folder) {
      AddPathItem(top.Folder, entry.Name, lkFile, match);
      continue;
    }
    AddPathItem(top.Folder, entry.Name, lkFolder, match);
    if (entry.Link) continue;
    const std::wstring child = top.Folder + entry.Name + L"\\";
    stack.push_back({child, ListEntries(child)});
  }
}

// Shortcuts first, then folders, each in listing order; a related folder
// becomes a leftover with its whole tree, any other folder is searched in
// turn. A related folder that is protected (it holds another program's
// folder, or a well-known one) is searched instead of listed.
void TLeftoverScan::SearchFolder(const std::wstring& folder) {
  std::vector<TFolderFrame> stack;
  auto enter = [&](const std::wstring& path) {
    TFolderFrame frame{IncludeBackslash(path), ListEntries(path)};
    for (const auto& entry : frame.Entries) {
      if (Cancelled()) return false;
      if (entry.Folder || !IsShortcutName(entry.Name)) continue;
      if (auto match = IsRelatedFile(frame.Folder, entry.Name)) {
        AddPathItem(frame.Folder, entry.Name, lkFile, *match);
      }
    }
    stack.push_back(std::move(frame));
    return true;
  };
  if (!enter(folder)) return;
  while (!stack.empty()) {
    if (Cancelled()) return;
    TFolderFrame& top = stack.back();
    if (top.Next == top.Entries.size()) {
      stack.pop_back();
      continue;
    }
    const TDirEntry entry = top.Entries[top.Next++];
    if (!entry.Folder || entry.Link) continue;
    const std::wstring path = top.Folder + entry.Name;
    const auto match = IsRelatedFile(top.Folder, entry.Name);
    if (match && !FGuard.Contains(path)) {
      AddFolderTree(path, *match, TMatchedBy::RelatedFolder);
    } else if (!enter(path)) {
      return;
    }
  }
}

std::optional<TMatch> TLeftoverScan::IsRelatedFile(const std::wstring& folder,
                                                   const std::wstring& name) const {
  const std::wstring folded = LowerAscii(name);
  if (IsShortcutName(name)) {
    return MatchShortcut(FTerms, LowerAscii(GetLinkTarget(IncludeBackslash(folder) + name)), folded);
  }
  return MatchEntry(FTerms, LowerAscii(IncludeBackslash(folder)) + folded, folded);
}

void ScanLeftovers(TEngineCore& engine, TUninstallObject& program) {
  TLeftoverScan(engine, program).Run();
}

}  // namespace quor
