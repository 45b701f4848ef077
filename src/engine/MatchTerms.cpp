#include "engine/MatchTerms.h"

#include "base/TermMatch.h"

namespace quor {
namespace {

// Keeps the first strong match, else the first weak one.
class TBest {
 public:
  void Offer(TMatchedBy by, TTermStrength strength) {
    if (strength == TTermStrength::None || FStrong) return;
    if (strength == TTermStrength::Strong) {
      FMatch = TMatch{by, TConfidence::High};
      FStrong = true;
    } else if (!FMatch) {
      FMatch = TMatch{by, TConfidence::Low};
    }
  }
  std::optional<TMatch> Result() const { return FMatch; }

 private:
  std::optional<TMatch> FMatch;
  bool FStrong = false;
};

TTermStrength Strong(bool holds) { return holds ? TTermStrength::Strong : TTermStrength::None; }

bool Contains(const std::wstring& text, const std::wstring& term) {
  return !term.empty() && text.find(term) != std::wstring::npos;
}

}  // namespace

std::optional<TMatch> MatchEntry(const TMatchTerms& terms, const std::wstring& path,
                                 const std::wstring& name) {
  TBest best;
  best.Offer(TMatchedBy::Location, Strong(ContainsFolderPath(path, terms.Location)));
  best.Offer(TMatchedBy::Name, MatchWordTerm(name, terms.Name));
  best.Offer(TMatchedBy::Folder, MatchWordTerm(name, terms.Folder));
  best.Offer(TMatchedBy::Guid, Strong(Contains(name, terms.Guid)));
  return best.Result();
}

std::optional<TMatch> MatchShortcut(const TMatchTerms& terms, const std::wstring& target,
                                    const std::wstring& name) {
  TBest best;
  best.Offer(TMatchedBy::Location, Strong(ContainsFolderPath(target, terms.Location)));
  best.Offer(TMatchedBy::Name, MatchWordTerm(target, terms.Name));
  best.Offer(TMatchedBy::Folder, MatchWordTerm(target, terms.Folder));
  best.Offer(TMatchedBy::Guid, Strong(Contains(name, terms.Guid)));
  return best.Result();
}

std::optional<TMatch> MatchKeyName(const TMatchTerms& terms, const std::wstring& name) {
  if (name.empty()) return std::nullopt;
  TBest best;
  best.Offer(TMatchedBy::Location, Strong(ContainsFolderPath(name, terms.Location)));
  best.Offer(TMatchedBy::Name, MatchWordTerm(name, terms.Name));
  best.Offer(TMatchedBy::Guid, Strong(Contains(name, terms.Guid)));
  return best.Result();
}

// A value is strong only by what it is about (its lead path): the program's
// folder, or a path named after it. A switch is no occurrence; a quoted
// argument or any other mention is weak.
std::optional<TMatch> MatchValueText(const TMatchTerms& terms, const std::wstring& text) {
  if (text.empty()) return std::nullopt;
  TBest best;
  best.Offer(TMatchedBy::Name, MatchValueTerm(text, terms.Name));
  best.Offer(TMatchedBy::Folder, MatchValueTerm(text, terms.Folder));
  const TTermStrength location = StartsWithFolderPath(text, terms.Location) ? TTermStrength::Strong
                                 : ContainsFolderPath(text, terms.Location) ? TTermStrength::Weak
                                                                            : TTermStrength::None;
  best.Offer(TMatchedBy::Location, location);
  return best.Result();
}

}  // namespace quor
