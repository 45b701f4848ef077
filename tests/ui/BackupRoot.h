#pragma once
// Backup sets in a folder of the test's own: LOCALAPPDATA points there while
// the object lives, and a program started meanwhile inherits it.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace quor::test {

class TBackupRoot {
 public:
  explicit TBackupRoot(const std::wstring& prefix = L"QuorUiAppData");
  ~TBackupRoot();
  TBackupRoot(const TBackupRoot&) = delete;
  TBackupRoot& operator=(const TBackupRoot&) = delete;

  std::wstring Folder() const { return FAppData.Path() + L"\\Quor Uninstaller\\Backups"; }

  // A set that records one removed file for a program of that name, made
  // `days` ago; the file itself is not there.
  testing::AssertionResult Add(const std::wstring& name, int days) const;
  // Backs `file` up for a program of that name, `days` ago, as a removal
  // does: the file moves into the set, and the record says it was removed.
  testing::AssertionResult Remove(const std::wstring& name, const std::wstring& file, int days) const;

  // The program names of the sets there now, sorted.
  std::vector<std::wstring> Programs() const;

 private:
  TempFolder FAppData;
  std::optional<std::wstring> FOld;
};

}  // namespace quor::test
