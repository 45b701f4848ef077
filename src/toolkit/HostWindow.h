#pragma once
// A top-level host window: the borderless form that one TQuorDirectForm covers.
// Built in two phases: the constructor keeps the parameters, Create makes the
// window once the object is whole (the frame's Load does it when needed), so
// that creation messages reach a finished object.

#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>

namespace quor {

struct THostParams {
  std::wstring Caption;
  int Left = CW_USEDEFAULT;
  int Top = CW_USEDEFAULT;
  int Width = 400;
  int Height = 300;
  HWND Owner = nullptr;
  DWORD ExStyle = 0;
  bool MainForm = false;  // closing it ends the application's message loop
};

class THostWindow {
 public:
  explicit THostWindow(THostParams params) : FParams(std::move(params)) {}
  virtual ~THostWindow();
  THostWindow(const THostWindow&) = delete;
  THostWindow& operator=(const THostWindow&) = delete;

  // Makes the window; throws std::system_error when the system refuses it.
  void Create();
  HWND Handle() const { return FHandle; }
  bool IsMainForm() const { return FParams.MainForm; }
  RECT WindowRect() const;
  void SetCaption(const std::wstring& caption);

  void Show(int command = SW_SHOW);
  // Runs a nested message loop until the window closes; the owner is disabled
  // meanwhile. A WM_QUIT that arrives meanwhile ends it and is posted again.
  int ShowModal();
  void SetModalResult(int result) { FModalResult = result; }
  void Close();
  // Centres the window over its owner (or the work area without one).
  void CenterOnOwner();

  void SetTimer(UINT_PTR id, UINT milliseconds, std::function<void()> onTick);
  void KillTimer(UINT_PTR id);

  // One tooltip per host; `tool` is the child window the hint belongs to.
  void ShowHint(HWND tool, const std::wstring& text);
  void CancelHint(HWND tool);
  // The text the tooltip holds for `tool` (empty without one).
  std::wstring HintText(HWND tool) const;
  void SetCursor(HCURSOR cursor) { FCursor = cursor; }

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) noexcept;

 protected:
  virtual LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l);

 private:
  void EnsureTooltip();
  void RelayPointer(HWND tool);

  THostParams FParams;
  HWND FHandle = nullptr;
  HWND FTooltip = nullptr;
  std::set<HWND> FHintTools;  // the tools added to FTooltip
  HCURSOR FCursor = nullptr;
  bool FInModalLoop = false;
  int FModalResult = 0;
  std::map<UINT_PTR, std::function<void()>> FTimers;
};

}  // namespace quor
