#include "ui/WindowShot.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ui/GuiProgram.h"

namespace quor::test {
namespace {

struct TScreenDc {
  HDC Dc = ::GetDC(nullptr);
  ~TScreenDc() { ::ReleaseDC(nullptr, Dc); }
};

struct TMemoryDc {
  HDC Dc;
  explicit TMemoryDc(HDC like) : Dc(::CreateCompatibleDC(like)) {}
  ~TMemoryDc() { ::DeleteDC(Dc); }
};

struct TBitmap {
  HBITMAP Handle;
  ~TBitmap() { ::DeleteObject(Handle); }
};

}  // namespace

void ShootWindowIfAsked(HWND window, const std::wstring& name) {
  const wchar_t* folder = _wgetenv(L"QUOR_WINDOW_SHOTS");
  if (!folder || !*folder || !window) return;
  ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::Sleep(300);  // the frame presents what it drew
  const RECT r = ScreenRect(window);
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  TScreenDc screen;
  TMemoryDc memory(screen.Dc);
  TBitmap bitmap{::CreateCompatibleBitmap(screen.Dc, width, height)};
  const HGDIOBJ old = ::SelectObject(memory.Dc, bitmap.Handle);
  ::BitBlt(memory.Dc, 0, 0, width, height, screen.Dc, r.left, r.top, SRCCOPY);
  ::SelectObject(memory.Dc, old);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as a file keeps it
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = DWORD((width * 3 + 3) & ~3);
  std::vector<unsigned char> pixels(size_t(stride) * size_t(height));
  ::GetDIBits(memory.Dc, bitmap.Handle, 0, UINT(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + DWORD(pixels.size());
  FILE* out = _wfopen((std::wstring(folder) + L"\\" + name + L".bmp").c_str(), L"wb");
  if (!out) return;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::fwrite(pixels.data(), 1, pixels.size(), out);
  std::fclose(out);
}

}  // namespace quor::test
