#include "app/ProgramIcons.h"

#include <gtest/gtest.h>

namespace quor {
namespace {

struct IconCase {
  const wchar_t* Source;  // DisplayIcon or UninstallString as registered
  const wchar_t* File;    // after IconPathOf and SplitIconIndex
  int Index;
};

// The two steps run in this order when the list fills.
TEST(ProgramIconsTest, IconSourceBecomesFileAndIndex) {
  const IconCase cases[] = {
      {LR"("C:\Program Files\App\app.exe",0)", LR"(C:\Program Files\App\app.exe)", 0},
      {LR"(C:\Program Files\App\res.dll,3)", LR"(C:\Program Files\App\res.dll)", 3},
      {LR"(C:\Program Files\App\res.dll,12)", LR"(C:\Program Files\App\res.dll)", 1},
      {LR"(C:\Program Files\App\res.dll,-101)", LR"(C:\Program Files\App\res.dll,-101)", 0},
      {LR"(C:\App\UNINST.EXE /S)", LR"(C:\App\UNINST.EXE)", 0},
      {LR"('C:\App\app.exe' --remove)", LR"(C:\App\app.exe)", 0},
      // the shortest prefix ending in .exe, even inside a folder name
      {LR"(C:\tools.exec\app.exe)", LR"(C:\tools.exe)", 0},
      // the first comma followed by a digit, also inside the path
      {LR"(C:\a,1\res.dll,5)", LR"(C:\a)", 1},
      {LR"(C:\a,b\res.dll,5)", LR"(C:\a,b\res.dll)", 5},
      // variables are passed on unexpanded
      {LR"(%SystemRoot%\System32\shell32.dll,4)", LR"(%SystemRoot%\System32\shell32.dll)", 4},
      {L"", L"", 0},
      {L"\"", L"\"", 0},
      {L"\"a", L"\"a", 0},  // too short to drop the quote
      {L"\"\"\"x.exe", L"\"\"x.exe", 0},  // only the first quote goes
      {L"x.ico,", L"x.ico,", 0},
  };
  for (const IconCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "source: " << c.Source);
    const TIconSource icon = SplitIconIndex(IconPathOf(c.Source));
    EXPECT_EQ(icon.File, c.File);
    EXPECT_EQ(icon.Index, c.Index);
  }
}

// A line break must not let the cut start after it: the result is a prefix.
TEST(ProgramIconsTest, CutsOnlyPrefixesOfTheText) {
  EXPECT_EQ(IconPathOf(L"a\nb.exe"), L"a\nb.exe");
  const TIconSource icon = SplitIconIndex(L"a\nb,2");
  EXPECT_EQ(icon.File, L"a\nb,2");
  EXPECT_EQ(icon.Index, 0);
}

}  // namespace
}  // namespace quor
