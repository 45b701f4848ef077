#pragma once
// How a program's identifying text (a term) occurs in a name, a path or a
// registry value. Texts and terms are lower-cased over A to Z by the caller.

#include <string_view>

namespace quor {

enum class TTermStrength { None, Weak, Strong };

// A name or folder term:
// - Strong where it begins a path component (the text's start or the text
//   after "\", "/" or a quote) and ends a word there: the component is the
//   term, or continues it with a character that is not a letter or digit
//   ("harbor notes.document", "harbor notes 3"). A term shorter than four
//   characters is strong only where it is the whole component, or the whole
//   component but an extension ("git", "git.exe").
// - Weak where it is otherwise a whole word, or where it lies inside a
//   longer word and has at least four characters.
// - None otherwise: a term shorter than four characters inside a longer
//   word ("git" in "github", "legit") does not match at all.
TTermStrength MatchWordTerm(std::wstring_view text, std::wstring_view term) noexcept;

// The location term (a canonical folder path) at a folder boundary: the text
// holds the folder followed by a backslash, a quote, ";", "," or its end, so
// that "c:\acme\foo" matches "c:\acme\foo\bin" but not "c:\acme\foo tools".
bool ContainsFolderPath(std::wstring_view text, std::wstring_view folder) noexcept;

// "{8-4-4-4-12}" of hexadecimal digits.
bool IsGuidText(std::wstring_view text) noexcept;

}  // namespace quor
