#pragma once
// A throw-away folder under %TEMP%, removed with its contents on destruction.
// The removal never descends into a folder link.

#include <string>

namespace quor::test {

class TempFolder {
 public:
  explicit TempFolder(const std::wstring& prefix = L"QuorTest");
  // Exactly `parent\name` (created with its parents).
  struct At {
    std::wstring Parent, Name;
  };
  explicit TempFolder(const At& at);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Without a trailing backslash.
  const std::wstring& Path() const { return path_; }
  std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

  // Creates a file (and its parent folders) holding `content`; answers its path.
  std::wstring MakeFile(const std::wstring& relative, const std::string& content = "x") const;
  std::wstring MakeFolder(const std::wstring& relative) const;

 private:
  std::wstring path_;
};

// Removes a folder tree in-process; links are removed as links, not followed.
void RemoveTree(const std::wstring& path);
bool PathExists(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
// Converts a Windows path of the running Wine prefix to its Unix path
// (through Wine's own mapping); empty when not under Wine.
std::wstring UnixPathOf(const std::wstring& windowsPath);
// Runs a Unix program through Wine's Z: drive ("Z:\\bin\\ln -s ...") and
// waits for it (Wine may answer before the program has finished).
bool RunUnixCommand(const std::wstring& commandLine);

}  // namespace quor::test

namespace quor::test {

// Makes `link` a folder link to `target`. Under Wine this is a Unix symbolic
// link (Wine cannot make junctions); on Windows a directory symbolic link.
// Answers whether the link now exists as a link.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target);

}  // namespace quor::test
