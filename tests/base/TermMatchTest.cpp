#include <gtest/gtest.h>

#include "base/TermMatch.h"
#include "base/Text.h"

namespace quor {
namespace {

constexpr TTermStrength kNone = TTermStrength::None;
constexpr TTermStrength kWeak = TTermStrength::Weak;
constexpr TTermStrength kStrong = TTermStrength::Strong;

TEST(TermMatch, WholeWordsAtAComponentStartAreStrongShortTermsNeedTheWholeComponent) {
  struct Case {
    const wchar_t* text;
    const wchar_t* term;
    TTermStrength expected;
  } cases[] = {
      // A three-letter name inside other names: nothing, or weak at most.
      {L"github cli", L"git", kNone},
      {L"digital tools", L"git", kNone},
      {L"legit-contracts", L"git", kNone},
      {L"tortoisegit", L"git", kNone},
      {L"my-git-notes", L"git", kWeak},
      {L"git extensions", L"git", kWeak},
      {L"git", L"git", kStrong},
      {L"c:\\program files\\git\\bin\\git.exe", L"git", kStrong},
      {L"\"c:\\tools\\git.exe\" --hidden", L"git", kStrong},
      {L"c:\\tools\\git-sync.exe", L"git", kWeak},
      // Longer terms: continuing with a non-word character is still the program.
      {L"harbor notes", L"harbor notes", kStrong},
      {L"harbor notes.document", L"harbor notes", kStrong},
      {L"harbor notes 3", L"harbor notes", kStrong},
      {L"harbor notesbook", L"harbor notes", kWeak},
      {L"about harbor notes", L"harbor notes", kWeak},
      {L"legacyfoobar", L"foobar", kWeak},
      {L"a", L"a", kStrong},
      {L"classes", L"a", kNone},
      {L".msi", L"a", kNone},
      {L"anything", L"", kNone},
      // Letters of other scripts are letters too.
      {L"\u00e4git", L"git", kNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchWordTerm(c.text, c.term), c.expected)
        << ToUtf8(c.text) << " / " << ToUtf8(c.term);
  }
}

TEST(TermMatch, TheLocationMatchesOnlyAtAFolderBoundary) {
  const std::wstring foo = L"c:\\program files\\acme\\foo";
  struct Case {
    std::wstring text;
    bool expected;
  } cases[] = {
      {foo, true},
      {foo + L"\\bin\\foo.exe", true},
      {L"\"" + foo + L"\" /s", true},
      {L"path=" + foo + L";c:\\other", true},
      {foo + L",1", true},
      {foo + L" tools\\x.exe", false},
      {foo + L"bar\\x.exe", false},
      {L"c:\\program files\\acme", false},
  };
  for (const auto& c : cases) EXPECT_EQ(ContainsFolderPath(c.text, foo), c.expected) << ToUtf8(c.text);
  EXPECT_FALSE(ContainsFolderPath(foo, L""));
}

// A value is about its lead path: only there is a name strong. A switch is
// no occurrence; a quoted argument or any other text is weak at most.
TEST(TermMatch, AValueIsStrongOnlyByWhatItIsAbout) {
  struct Case {
    const wchar_t* text;
    const wchar_t* term;
    TTermStrength expected;
  } cases[] = {
      {L"\"c:\\program files\\other\\other.exe\" /min", L"min", kNone},
      {L"other.exe /tray /silent", L"tray", kNone},
      {L"c:\\tools\\other.exe -tray --min", L"tray", kNone},
      {L"\"c:\\program files\\other\\other.exe\" --profile \"zqx tool\"", L"zqx tool", kWeak},
      {L"competitor=\"zqx tool\"", L"zqx tool", kWeak},
      {L"zqx tool", L"zqx tool", kWeak},
      {L"rundll32.exe \"c:\\program files\\zqx tool\\zqx.dll\",run", L"zqx tool", kWeak},
      {L"c:\\tools\\other.exe zqx tool", L"zqx tool", kWeak},
      {L"\"c:\\program files\\zqx tool\\zqx.exe\" /tray", L"zqx tool", kStrong},
      {L"c:\\program files\\zqx tool\\zqx.exe /background", L"zqx tool", kStrong},
      {L"c:\\program files\\zqx tool - beta\\zqx.exe", L"zqx tool", kStrong},
      {L"%programfiles%\\zqx tool\\zqx.exe", L"zqx tool", kStrong},
      {L"\"c:\\program files\\min\\min.exe\" -tray", L"min", kStrong},
      {L"\"c:\\program files\\min\\min.exe\" -tray", L"tray", kNone},
      {L"\\\\server\\share\\git\\git.exe", L"git", kStrong},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchValueTerm(c.text, c.term), c.expected)
        << ToUtf8(c.text) << " / " << ToUtf8(c.term);
  }
}

TEST(TermMatch, TheLocationStrongOnlyAtTheStartOfAValue) {
  const std::wstring foo = L"c:\\apps\\foo";
  EXPECT_TRUE(StartsWithFolderPath(L"\"" + foo + L"\\foo.exe\" /s", foo));
  EXPECT_TRUE(StartsWithFolderPath(L"  " + foo, foo));
  EXPECT_TRUE(StartsWithFolderPath(foo + L"\\foo.exe,0", foo));
  EXPECT_FALSE(StartsWithFolderPath(L"other.exe --dir \"" + foo + L"\"", foo));
  EXPECT_FALSE(StartsWithFolderPath(foo + L" tools\\x.exe", foo));
  EXPECT_FALSE(StartsWithFolderPath(foo, L""));
}

TEST(TermMatch, OnlyTheFullGuidFormIsAProductCode) {
  EXPECT_TRUE(IsGuidText(L"{ABCDEF12-3456-7890-abcd-0123456789ab}"));
  for (const wchar_t* text : {L"1", L"", L"{ABCDEF12-3456-7890-ABCD-0123456789A}",
                              L"ABCDEF12-3456-7890-ABCD-0123456789AB",
                              L"{ABCDEF12-3456-7890-ABCD-0123456789AG}",
                              L"{ABCDEF12+3456-7890-ABCD-0123456789AB}"}) {
    EXPECT_FALSE(IsGuidText(text)) << ToUtf8(text);
  }
}

}  // namespace
}  // namespace quor
