#include "ui/RegistryEditor.h"

#include <shellapi.h>

#include <iterator>

#include "base/Handles.h"
#include "base/Text.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

constexpr DWORD kStepMs = 100;
constexpr UINT kSendTimeoutMs = 2000;
constexpr int kCollapseSteps = 20;

// Sent, so that every stroke is handled before the next; a hung editor does
// not hang this thread.
void SendTo(HWND target, UINT msg, WPARAM w) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(target, msg, w, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
}

// Focus can only be set on a window of another thread while both threads
// share their input state.
class TInputAttachment {
 public:
  explicit TInputAttachment(HWND window)
      : FOther(::GetWindowThreadProcessId(window, nullptr)), FSelf(::GetCurrentThreadId()) {
    FAttached = FOther != FSelf && ::AttachThreadInput(FSelf, FOther, TRUE);
  }
  ~TInputAttachment() {
    if (FAttached) ::AttachThreadInput(FSelf, FOther, FALSE);
  }
  TInputAttachment(const TInputAttachment&) = delete;
  TInputAttachment& operator=(const TInputAttachment&) = delete;

 private:
  DWORD FOther, FSelf;
  bool FAttached = false;
};

void FocusWindow(HWND window) {
  TInputAttachment attach(window);
  ::SetForegroundWindow(window);
  ::SetFocus(window);
}

class TUpdateLock {
 public:
  explicit TUpdateLock(HWND window) { ::LockWindowUpdate(window); }
  ~TUpdateLock() { ::LockWindowUpdate(nullptr); }
  TUpdateLock(const TUpdateLock&) = delete;
  TUpdateLock& operator=(const TUpdateLock&) = delete;
};

HWND FindRegEdit() { return ::FindWindowW(L"RegEdit_RegEdit", nullptr); }

// Starts the editor maximised and waits, at most kRegEditStartMs, until it
// takes input and its window is there.
HWND StartRegEdit() {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = L"open";
  info.lpFile = L"regedit.exe";
  info.nShow = SW_SHOWMAXIMIZED;
  if (!::ShellExecuteExW(&info)) return nullptr;
  const UniqueKernelHandle process(info.hProcess);
  const ULONGLONG deadline = ::GetTickCount64() + kRegEditStartMs;
  if (process) ::WaitForInputIdle(process.Get(), kRegEditStartMs);
  // WaitForInputIdle may return before the main window exists.
  for (;;) {
    if (HWND found = FindRegEdit()) return found;
    if (::GetTickCount64() >= deadline) return nullptr;
    ::Sleep(50);
  }
}

bool KeyOpens(const TRegistryKeyText& key) {
  const DWORD access = KEY_READ | (IsWin64() ? KEY_WOW64_64KEY : 0);
  UniqueRegKey opened;
  return ::RegOpenKeyExW(key.Root, key.SubKey.c_str(), 0, access, opened.Put()) == ERROR_SUCCESS;
}

void WalkTree(HWND tree, const std::wstring& keyText) {
  for (int i = 0; i < kCollapseSteps; ++i) SendTo(tree, WM_KEYDOWN, VK_LEFT);
  ::Sleep(kStepMs);
  FocusWindow(tree);
  const std::wstring path = keyText.starts_with(L'\\') ? keyText : L"\\" + keyText;
  for (const wchar_t c : path) {
    if (c == L'\\') {
      SendTo(tree, WM_KEYDOWN, VK_RIGHT);  // opens the selected node
      ::Sleep(kStepMs);
    } else {
      SendTo(tree, WM_CHAR, c);  // selects by typing
    }
  }
}

void SelectValue(HWND list, const std::wstring& valueName) {
  FocusWindow(list);
  ::Sleep(kStepMs);
  SendTo(list, WM_KEYDOWN, VK_HOME);
  for (const wchar_t c : TypedValueName(valueName)) SendTo(list, WM_CHAR, c);
}

}  // namespace

std::optional<TRegistryKeyText> ParseRegistryKeyText(const std::wstring& text) {
  static const std::pair<const wchar_t*, HKEY> kRoots[] = {
      {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
      {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
      {L"HKEY_USERS", HKEY_USERS},
  };
  for (const auto& [name, root] : kRoots) {
    const std::wstring_view rootName(name);
    if (text.size() < rootName.size() || !SameTextAscii(std::wstring_view(text).substr(0, rootName.size()), rootName))
      continue;
    const std::wstring rest = text.substr(rootName.size());
    if (rest.empty()) return TRegistryKeyText{root, {}};
    if (rest.front() != L'\\') return std::nullopt;
    return TRegistryKeyText{root, rest.substr(1)};
  }
  return std::nullopt;
}

std::pair<std::wstring, std::wstring> SplitValuePath(const std::wstring& path) {
  const size_t at = path.rfind(L'\\');
  if (at == std::wstring::npos) return {path, {}};
  return {path.substr(0, at), path.substr(at + 1)};
}

std::wstring TypedValueName(const std::wstring& name) {
  std::wstring typed = name;
  for (wchar_t& c : typed)
    if (c >= L'a' && c <= L'z') c = wchar_t(c - L'a' + L'A');
  return typed;
}

bool OpenRegistryKey(const std::wstring& keyText, const std::wstring& valueName) {
  const std::optional<TRegistryKeyText> key = ParseRegistryKeyText(keyText);
  if (!key || !KeyOpens(*key)) return false;
  HWND editor = FindRegEdit();
  if (!editor) editor = StartRegEdit();
  if (!editor) return false;
  TUpdateLock lock(editor);
  ::ShowWindow(editor, SW_SHOWMAXIMIZED);
  FocusWindow(editor);
  if (HWND tree = ::FindWindowExW(editor, nullptr, L"SysTreeView32", nullptr))
    WalkTree(tree, keyText);
  if (HWND list = ::FindWindowExW(editor, nullptr, L"SysListView32", nullptr))
    SelectValue(list, valueName);
  return true;
}

}  // namespace quor
