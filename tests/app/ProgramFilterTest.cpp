#include "app/ProgramFilter.h"

#include <gtest/gtest.h>

namespace quor {
namespace {

struct FilterCase {
  const wchar_t* Search;
  bool Visible;
};

TEST(ProgramFilterTest, SearchTextKeepsRowsThatNameOrPublisherContain) {
  const wchar_t* caption = L"Demo Editor 2.1";
  const wchar_t* publisher = L"Acme Software GmbH";
  const FilterCase cases[] = {
      {L"", true},
      {L"   ", true},  // blanks only show every row
      {L"\t", true},
      {L"editor", true},
      {L"EDITOR", true},
      {L"acme", true},  // found only in the publisher
      {L"gMBh", true},
      {L"zzz", false},
      {L" editor", true},  // matched as typed, with its blank
      {L"2.1 ", false},  // no blank follows "2.1" in either text
      {L"demo acme", false},  // each text is searched on its own
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "search: \"" << c.Search << "\"");
    EXPECT_EQ(FilterMatches(c.Search, caption, publisher), c.Visible);
  }
}

// Only the letters A to Z ignore case.
TEST(ProgramFilterTest, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(FilterMatches(L"\u00e9DIT", L"\u00e9dition", L""));
  EXPECT_FALSE(FilterMatches(L"\u00e9dit", L"\u00c9DITION", L""));
}

}  // namespace
}  // namespace quor
