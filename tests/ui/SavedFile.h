#pragma once
// Keeps a file's content (or its absence) and puts it back on destruction,
// so that a test may change or delete the file meanwhile.

#include <optional>
#include <string>

namespace quor::test {

class TSavedFile {
 public:
  explicit TSavedFile(std::wstring path);
  ~TSavedFile();
  TSavedFile(const TSavedFile&) = delete;
  TSavedFile& operator=(const TSavedFile&) = delete;

  const std::wstring& Path() const { return FPath; }

 private:
  std::wstring FPath;
  std::optional<std::string> FBytes;
};

// Writes `bytes` as the whole file, creating its folder when needed.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

}  // namespace quor::test
