#include "app/TotalsLine.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace quor
