#pragma once
// Registry keys and values to and from the registry export format: what a
// removal writes into a backup set before it deletes, and what a restore
// writes back. Keys are reached one level at a time, each as itself: a
// registry link is never followed, and neither exported nor written through.

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/FileBackup.h"
#include "base/RegFile.h"

namespace quor {

class TKeepSet;

struct TRegExport {
  std::vector<TRegFileKey> Keys;
  // Displayed paths that stay in place because the file cannot hold them (a
  // registry link, a name with a line break or a NUL), with the reason.
  std::vector<std::pair<std::wstring, std::wstring>> NotBackedUp;
  int64_t Bytes = 0;  // value data exported
};

// The key with everything below it, less the kept paths.
void ExportRegKey(HKEY root, const std::wstring& path, const TKeepSet& keep, TRegExport& out);
void ExportRegValue(HKEY root, const std::wstring& path, const std::wstring& name, TRegExport& out);

// Writes every key and value of a parsed file: missing keys are created,
// an existing value is left as it is and reported unless `overwrite`.
// Deletions in the file are not carried out. Answers whether all was written.
bool ImportRegFile(const std::vector<TRegFileKey>& keys, bool overwrite, const TRestoreSink& sink);

}  // namespace quor
