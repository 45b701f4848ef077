#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Text.h"
#include "inventory/Registry.h"
#include "support/TempRegistration.h"
#include "support/TestNames.h"

namespace quor {
namespace {

using test::TempKey;

std::vector<uint8_t> Bytes(const std::wstring& text, size_t extraBytes = 0) {
  std::vector<uint8_t> out(text.size() * sizeof(wchar_t) + extraBytes, 0);
  std::memcpy(out.data(), text.data(), text.size() * sizeof(wchar_t));
  return out;
}

class RegistryRead : public ::testing::Test {
 protected:
  TempKey key{HKEY_CURRENT_USER, L"Software\\" + test::UniqueName(L"QuorRegRead")};
};

struct StringCase {
  const char* what;
  DWORD type;
  std::vector<uint8_t> data;
  std::wstring expected;
};

TEST_F(RegistryRead, ReadRegStringAcceptsWhateverIsStored) {
  const std::wstring big(100000, L'x');
  std::vector<uint8_t> odd = Bytes(L"abc");
  odd.push_back('d');  // a stray odd byte
  const std::vector<StringCase> cases = {
      {"terminated REG_SZ", REG_SZ, Bytes(L"hello", 2), L"hello"},
      {"REG_SZ without a terminator", REG_SZ, Bytes(L"bare"), L"bare"},
      {"odd byte count", REG_SZ, odd, L"abc"},
      {"stops at the first NUL", REG_SZ, Bytes(std::wstring(L"one\0two", 7), 2), L"one"},
      {"REG_EXPAND_SZ is not expanded", REG_EXPAND_SZ, Bytes(L"%WINDIR%\\x", 2), L"%WINDIR%\\x"},
      {"larger than any fixed buffer", REG_SZ, Bytes(big, 2), big},
      {"empty", REG_SZ, {}, L""},
      {"REG_MULTI_SZ", REG_MULTI_SZ, Bytes(std::wstring(L"a\0b\0", 4), 2), L""},
      {"REG_BINARY", REG_BINARY, Bytes(L"text", 2), L""},
      {"REG_DWORD", REG_DWORD, {1, 0, 0, 0}, L""},
  };
  for (const auto& c : cases) {
    key.SetRaw(L"v", c.type, c.data);
    EXPECT_EQ(ReadRegString(key.Root(), key.Path(), L"v"), c.expected) << c.what;
  }
  EXPECT_EQ(ReadRegString(key.Root(), key.Path(), L"missing"), L"");
  EXPECT_EQ(ReadRegString(key.Root(), key.Path() + L"\\nokey", L"v"), L"");
}

struct DWordCase {
  const char* what;
  DWORD type;
  std::vector<uint8_t> data;
  int32_t expected;
};

TEST_F(RegistryRead, ReadRegDWordAnswersOnlyRealDWords) {
  const std::vector<DWordCase> cases = {
      {"REG_DWORD", REG_DWORD, {0x2A, 0, 0, 0}, 42},
      {"top bit set", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, -1},
      {"REG_QWORD", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, 0},
      {"text", REG_SZ, Bytes(L"5", 2), 0},
      {"short DWORD", REG_DWORD, {1, 0}, 0},
      {"binary", REG_BINARY, {1, 0, 0, 0}, 0},
  };
  for (const auto& c : cases) {
    key.SetRaw(L"d", c.type, c.data);
    EXPECT_EQ(ReadRegDWord(key.Root(), key.Path(), L"d"), c.expected) << c.what;
  }
  EXPECT_EQ(ReadRegDWord(key.Root(), key.Path(), L"missing"), 0);
}

// Both ways of reading a key's values must answer every name exactly as a
// query of that name does: whatever the type, length or spelling of the
// stored value, and however often a name is looked up.
TEST_F(RegistryRead, EachValueSetAnswersAsEachQueryDoes) {
  const std::wstring longName(300, L'n');      // longer than the first name buffer
  const std::wstring longText(5000, L'y');     // longer than the first data buffer
  const uint64_t qword = 7;
  const uint8_t threeBytes[3] = {1, 0, 0};
  key.SetRaw(L"", REG_SZ, Bytes(L"default", 2));
  key.SetRaw(L"DisplayName", REG_SZ, Bytes(L"Name", 2));
  key.SetRaw(L"Expand", REG_EXPAND_SZ, Bytes(L"%ProgramFiles%\\App", 2));
  key.SetRaw(L"Bare", REG_SZ, Bytes(L"no terminator"));
  key.SetRaw(L"Multi", REG_MULTI_SZ, Bytes(L"a\0b\0", 2));
  key.SetRaw(L"Binary", REG_BINARY, Bytes(L"bin"));
  key.SetRaw(longName, REG_SZ, Bytes(longText, 2));
  key.SetDWord(L"Size", 4096);
  key.SetRaw(L"Short", REG_DWORD, threeBytes, sizeof threeBytes);
  key.SetRaw(L"Quad", REG_QWORD, &qword, sizeof qword);
  key.SetDWord(L"TextAsDWord", 5);
  key.SetString(L"DWordAsText", L"5");

  auto open = OpenKeyForRead(key.Root(), key.Path());
  ASSERT_TRUE(open);
  const struct {
    const char* what;
    TRegValueSet (*make)(HKEY);
  } ways[] = {{"one enumeration", &TRegValueSet::Read}, {"asked by name", &TRegValueSet::Ask}};
  const std::vector<std::wstring> names = {
      L"", L"DisplayName", L"dISPLAYnAME", L"Expand", L"Bare", L"Multi", L"Binary", longName,
      L"Size", L"SIZE", L"Short", L"Quad", L"TextAsDWord", L"DWordAsText", L"Missing", L"MISSING"};
  for (const auto& way : ways) {
    SCOPED_TRACE(way.what);
    const TRegValueSet set = way.make(open.Get());
    // Held across the later look-ups, which must not move it.
    const TRegValue* first = set.Find(L"DisplayName");
    ASSERT_NE(first, nullptr);
    for (const auto& name : names) {
      SCOPED_TRACE(ToUtf8(name.substr(0, 20)));
      EXPECT_EQ(set.Find(name) != nullptr, QueryRegValue(open.Get(), name).has_value());
      EXPECT_EQ(set.String(name), ReadKeyString(open.Get(), name));
      EXPECT_EQ(set.DWord(name), ReadKeyDWord(open.Get(), name));
    }
    // The answers themselves, where a shared mistake would go unseen above.
    EXPECT_EQ(set.Find(L"displayname"), first);
    EXPECT_EQ(RegValueText(*first), L"Name");
    EXPECT_EQ(set.String(L"Expand"), L"%ProgramFiles%\\App");
    EXPECT_EQ(set.String(longName), longText);
    EXPECT_EQ(set.DWord(L"size"), 4096);
    EXPECT_EQ(set.DWord(L"Short"), 0);
    EXPECT_EQ(set.Find(L"Missing"), nullptr);
  }
}

TEST_F(RegistryRead, GetSubKeyNamesListsChildrenAndFailsForAMissingKey) {
  std::vector<std::wstring> names = {L"stale"};
  EXPECT_FALSE(GetSubKeyNames(key.Root(), key.Path() + L"\\absent", names));
  EXPECT_EQ(names.size(), 1u);  // untouched on failure
  const std::wstring longName(200, L'n');
  key.CreateSubKey(L"alpha");
  key.CreateSubKey(longName);
  ASSERT_TRUE(GetSubKeyNames(key.Root(), key.Path(), names));
  ASSERT_EQ(names.size(), 2u);
  EXPECT_NE(std::find(names.begin(), names.end(), L"alpha"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), longName), names.end());
}

TEST(RegistryHelpers, AccessMaskCarriesTheViewFlagOnlyOn64Bit) {
  const bool saved = IsWin64();
  SetIsWin64(true);
  EXPECT_EQ(RegAccessMask(TRegAccess::Read), 0x20019u | 0x0100u);
  EXPECT_EQ(RegAccessMask(TRegAccess::Full), 0xF003Fu | 0x0100u);
  SetIsWin64(false);
  EXPECT_EQ(RegAccessMask(TRegAccess::Read), 0x20019u);
  EXPECT_EQ(RegAccessMask(TRegAccess::Full), 0xF003Fu);
  SetIsWin64(saved);
  EXPECT_TRUE(saved) << "a 64-bit process runs on 64-bit Windows";
}

TEST(RegistryHelpers, IncludeBackslashAndRootNames) {
  EXPECT_EQ(IncludeBackslash(L""), L"");
  EXPECT_EQ(IncludeBackslash(L"a"), L"a\\");
  EXPECT_EQ(IncludeBackslash(L"a\\"), L"a\\");
  EXPECT_EQ(RootKeyName(HKEY_LOCAL_MACHINE), L"HKEY_LOCAL_MACHINE");
  EXPECT_EQ(RootKeyByName(L"hkey_current_user"), HKEY_CURRENT_USER);
  EXPECT_EQ(RootKeyByName(L"hkey_local_machine"), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(RootKeyByName(L"HKEY_USERS"), HKEY_USERS);
  // Anything else, abbreviations included, names the classes root.
  EXPECT_EQ(RootKeyByName(L"HKLM"), HKEY_CLASSES_ROOT);
  EXPECT_EQ(RootKeyByName(L""), HKEY_CLASSES_ROOT);
  EXPECT_EQ(RootKeyName(reinterpret_cast<HKEY>(0x1234)), L"");
}

}  // namespace
}  // namespace quor
