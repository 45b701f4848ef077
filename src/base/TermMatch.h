#pragma once
// How a program's identifying text (a term) occurs in a name, a path or a
// registry value. Texts and terms are lower-cased over A to Z by the caller.

#include <string>
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

// The path a registry value's text is about: the quoted text at its start,
// or, unquoted, the text from its start up to the end of a program name
// (".exe", ".dll"...) or to the first argument (a blank followed by a
// switch or a quote), whichever comes first. Only a text that begins with
// a drive, a share or a "%NAME%" token followed by a separator has one;
// any other text gives an empty view.
std::wstring_view LeadPath(std::wstring_view text) noexcept;

// The text with every switch ("/min", "-tray", "--profile") blanked out: a
// "/" or "-" at the start or after a blank, up to the next blank, quote,
// "=" or ":".
std::wstring WithoutSwitches(std::wstring_view text);

// The location term at the start of the text (after blanks and one quote),
// at a folder boundary as for ContainsFolderPath.
bool StartsWithFolderPath(std::wstring_view text, std::wstring_view folder) noexcept;

// A name or folder term in a registry value's text: strong only where
// MatchWordTerm finds it strongly inside the lead path (the program or
// folder the value is about); weak where it is otherwise found outside the
// switches (a quoted argument, another text); a switch is no occurrence.
TTermStrength MatchValueTerm(std::wstring_view text, std::wstring_view term);

// "{8-4-4-4-12}" of hexadecimal digits.
bool IsGuidText(std::wstring_view text) noexcept;

}  // namespace quor
