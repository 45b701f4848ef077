/* The sample application the demo installers install: it shows a message
   box, and it has an icon. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE prev, PWSTR cmd, int show) {
  (void)instance;
  (void)prev;
  (void)cmd;
  (void)show;
  MessageBoxW(NULL, L"This is a demo application installed for Quor Uninstaller.", L"Demo",
              MB_OK | MB_ICONINFORMATION);
  return 0;
}
