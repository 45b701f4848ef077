#pragma once
// The table of well-known folders by name: the shell's special folders and
// the usual environment variables. Used to expand "%NAME%" tokens and to
// recognise well-known folders.

#include <memory>
#include <string>
#include <vector>

namespace quor {

struct TEnvironmentStringRec {
  std::wstring Name;
  std::wstring Value;
};

class TEnvironmentStrings {
 public:
  // Builds the table from the shell and the environment.
  TEnvironmentStrings();
  // An empty table, for tests and for callers that fill it themselves.
  struct EmptyTag {};
  explicit TEnvironmentStrings(EmptyTag) {}

  void Add(const std::wstring& name, const std::wstring& value);
  std::wstring Expand(const std::wstring& text) const;
  int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
  std::wstring Values(int32_t index) const;
  const std::vector<TEnvironmentStringRec>& Items() const { return FItems; }

  static std::wstring GetSpecialFolder(int csidl);
  void LoadSpecialFolders();
  void LoadEnvironment();

 private:
  std::vector<TEnvironmentStringRec> FItems;
};

// Names of the shell's special folders by CSIDL number; empty where unused.
extern const wchar_t* const kSpecialFolderNames[61];

// The process-wide table, created at start-up by InitEnvironmentStrings.
extern std::unique_ptr<TEnvironmentStrings> EnvironmentStrings;
void InitEnvironmentStrings();
void DoneEnvironmentStrings();

std::wstring ExpandEnvironment(const std::wstring& text);

}  // namespace quor
