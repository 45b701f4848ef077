// A window's remembered size in Config.ini, and where the window goes.
#include <gtest/gtest.h>

#include "app/WindowSize.h"
#include "support/TempFolder.h"

namespace quor {
namespace {

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

TEST(WindowSize, ASizeIsReadBackAndABrokenOneIsNone) {
  test::TempFolder folder(L"QuorWindowSize");
  const std::wstring config = folder / L"Config.ini";
  EXPECT_FALSE(ReadWindowSize(config, L"Review")) << "no file";
  ASSERT_TRUE(WriteWindowSize(config, L"Review", {740, 520}));
  const auto size = ReadWindowSize(config, L"Review");
  ASSERT_TRUE(size);
  EXPECT_EQ(size->cx, 740);
  EXPECT_EQ(size->cy, 520);
  EXPECT_FALSE(ReadWindowSize(config, L"Other")) << "another section";
  const struct {
    const wchar_t* Width;
    const wchar_t* Height;
  } broken[] = {{L"-5", L"400"}, {L"wide", L"400"}, {L"600", L""}, {L"9999999", L"400"}};
  for (const auto& b : broken) {
    SCOPED_TRACE(testing::Message() << b.Width << " x " << b.Height);
    ::WritePrivateProfileStringW(L"Review", L"Width", b.Width, config.c_str());
    ::WritePrivateProfileStringW(L"Review", L"Height", b.Height, config.c_str());
    EXPECT_FALSE(ReadWindowSize(config, L"Review"));
  }
}

// The language name written beside the size keeps characters outside the
// ANSI code page: a new file starts as UTF-16.
TEST(WindowSize, ANewFileKeepsEveryCharacter) {
  test::TempFolder folder(L"QuorWindowSize");
  const std::wstring config = folder / L"Config.ini";
  ASSERT_TRUE(WriteWindowSize(config, L"Review", {600, 400}));
  ::WritePrivateProfileStringW(L"General", L"Lang", L"\u65e5\u672c\u8a9e", config.c_str());
  wchar_t lang[16] = {};
  ::GetPrivateProfileStringW(L"General", L"Lang", L"", lang, 16, config.c_str());
  EXPECT_EQ(std::wstring(lang), L"\u65e5\u672c\u8a9e");
}

TEST(WindowSize, TheWindowIsCentredOnItsOwnerAndStaysOnTheWorkArea) {
  const RECT work{0, 0, 1024, 738};
  const SIZE minimum{501, 386};
  const struct {
    const char* What;
    SIZE Wanted;
    RECT Owner;
    RECT Placed;
  } cases[] = {
      {"centred", {600, 400}, {100, 100, 900, 600}, {200, 150, 800, 550}},
      {"never below the minimum", {200, 100}, {100, 100, 900, 600}, {249, 157, 750, 543}},
      {"never larger than the work area", {3000, 2000}, {0, 0, 1024, 738}, {0, 0, 1024, 738}},
      {"moved in from the right and bottom",
       {600, 400},
       {700, 500, 1300, 900},
       {424, 338, 1024, 738}},
      {"moved in from the left and top", {600, 400}, {-500, -300, 100, 100}, {0, 0, 600, 400}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    EXPECT_EQ(Text(PlaceWindow(c.Wanted, minimum, c.Owner, work)), Text(c.Placed));
  }
  EXPECT_EQ(Text(PlaceWindow({600, 400}, minimum, {0, 0, 800, 600}, {1024, 0, 2048, 768})),
            Text({1024, 100, 1624, 500}))
      << "a second screen's work area";
}

}  // namespace
}  // namespace quor
