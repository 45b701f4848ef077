#include "base/TermMatch.h"
#include "base/Text.h"
#include "engine/MatchTerms.h"
#include "engine/ProtectedFolders.h"
#include "inventory/EnumPrograms.h"

// A record's terms, apart from the matching (MatchTerms.cpp): they depend on
// the protected folders and the generic words, which are read from the system.

namespace quor {
namespace {

std::wstring WordTerm(const std::wstring& field) {
  const std::wstring term = LowerAscii(Trim(field));
  return IsGenericWord(term) ? std::wstring() : term;
}

}  // namespace

TMatchTerms MakeMatchTerms(const TUninstallObject& program, const TProtectedFolders& guard) {
  TMatchTerms terms;
  terms.Name = WordTerm(program.DisplayName);
  const std::wstring guid = Trim(program.ProductGuid);
  if (IsGuidText(guid)) terms.Guid = LowerAscii(guid);
  const auto location = guard.Canonical(program.InstallLocation);
  if (location && !guard.Contains(*location)) {
    terms.Location = LowerAscii(location->Path);
    terms.Folder = WordTerm(program.FolderName);
  }
  return terms;
}

}  // namespace quor
