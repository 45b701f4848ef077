#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <vector>

#include "app/TotalsLine.h"

namespace quor {
namespace {

using Segments = std::vector<TTotalsSegment>;

TTotalsSegment Grey(const wchar_t* text) { return {text, kTotalsTextColor, 0}; }
TTotalsSegment Count(const wchar_t* text) { return {text, kTotalsCountColor, 1}; }
TTotalsSegment Size(const wchar_t* text) { return {text, kTotalsSizeColor, 1}; }

struct TotalsCase {
  const wchar_t* Template;
  Segments Expected;
};

TEST(TotalsLineTest, TemplateSplitsIntoColouredSegments) {
  const TotalsCase cases[] = {
      {L"%d programs of %s size in total",
       {Count(L"120"), Grey(L" programs of "), Size(L"5.00 GB"), Grey(L" size in total")}},
      {L"Total: %d programs, %s.",
       {Grey(L"Total: "), Count(L"120"), Grey(L" programs, "), Size(L"5.00 GB"), Grey(L".")}},
      {L"%d%s", {Count(L"120"), Size(L"5.00 GB")}},
      {L"%D programmes, %S", {Count(L"120"), Grey(L" programmes, "), Size(L"5.00 GB")}},
      // greedy: the last "%d" before the last "%s" is the count
      {L"%d %d, %s", {Grey(L"%d "), Count(L"120"), Grey(L", "), Size(L"5.00 GB")}},
      // a translation that names the size first does not fit: no line
      {L"%s in %d programs", {}},
      {L"programs: %d", {}},
      {L"", {}},
  };
  for (const TotalsCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "template: " << c.Template);
    EXPECT_EQ(TotalsSegments(c.Template, 120, L"5.00 GB"), c.Expected);
  }
}

TEST(TotalsLineTest, CountIsWrittenInFull) {
  const Segments segments = TotalsSegments(L"%d/%s", 3000000000LL, L"1 KB");
  ASSERT_EQ(segments.size(), 3u);
  EXPECT_EQ(segments[0].Text, L"3000000000");
}

// The line is split as the pattern "(.*)%d+(.*)%s+(.*)" would split it, searched
// case-insensitively and greedily; short random templates compare both.
TEST(TotalsLineTest, SplitsAsTheGreedyPatternDoes) {
  const std::wregex pattern(LR"((.*)%d+(.*)%s+(.*))", std::regex_constants::icase);
  const std::wstring alphabet = L"%%dDsS x\n";
  std::mt19937 random(20261211);
  for (int i = 0; i < 20000; ++i) {
    std::wstring text(random() % 12, L' ');
    for (wchar_t& c : text) c = alphabet[random() % alphabet.size()];
    Segments expected;
    std::wsmatch m;
    if (std::regex_search(text, m, pattern)) {
      for (const TTotalsSegment& s : {Grey(m.str(1).c_str()), Count(L"7"), Grey(m.str(2).c_str()),
                                      Size(L"1 KB"), Grey(m.str(3).c_str())}) {
        if (!s.Text.empty()) expected.push_back(s);
      }
    }
    ASSERT_EQ(TotalsSegments(text, 7, L"1 KB"), expected) << "template: " << text;
  }
}

// While a search hides rows the line names both counts: the first "%d"
// before the total is the number shown.
TEST(TotalsLineTest, ShownTemplateNamesTheShownAndTheTotalCount) {
  const TotalsCase cases[] = {
      {L"%d of %d programs shown, %s size in total",
       {Count(L"3"), Grey(L" of "), Count(L"120"), Grey(L" programs shown, "), Size(L"5.00 GB"),
        Grey(L" size in total")}},
      {L"Shown: %d/%d (%s)",
       {Grey(L"Shown: "), Count(L"3"), Grey(L"/"), Count(L"120"), Grey(L" ("), Size(L"5.00 GB"),
        Grey(L")")}},
      // without a second "%d" the one count is the number shown
      {L"%d programs shown, %s", {Count(L"3"), Grey(L" programs shown, "), Size(L"5.00 GB")}},
      {L"%s shown", {}},
  };
  for (const TotalsCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "template: " << c.Template);
    EXPECT_EQ(ShownSegments(c.Template, 3, 120, L"5.00 GB"), c.Expected);
  }
}

// A translation is data: a very long one must not exhaust the stack.
TEST(TotalsLineTest, LongTemplatesAreSplitWithoutDeepRecursion) {
  const std::wstring filler(200000, L'x');
  const Segments segments = TotalsSegments(filler + L"%d" + filler + L"%s" + filler, 1, L"1 KB");
  ASSERT_EQ(segments.size(), 5u);
  EXPECT_EQ(segments[2].Text, filler);
  EXPECT_TRUE(TotalsSegments(std::wstring(200000, L'%'), 1, L"1 KB").empty());
}

}  // namespace
}  // namespace quor
