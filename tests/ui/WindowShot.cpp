#include "ui/WindowShot.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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

uint32_t TScreenPixels::At(int x, int y) const {
  x -= Rect.left;
  y -= Rect.top;
  if (x < 0 || y < 0 || x >= Width || y >= Height) return 0;
  return Pixels[size_t(y) * size_t(Width) + size_t(x)];
}

int TScreenPixels::DarkPixels(const RECT& r) const {
  int dark = 0;
  for (int y = std::max(r.top, Rect.top); y < std::min(r.bottom, Rect.bottom); ++y) {
    for (int x = std::max(r.left, Rect.left); x < std::min(r.right, Rect.right); ++x) {
      const uint32_t p = At(x, y);
      const int luma = (int((p >> 16) & 0xFF) * 3 + int((p >> 8) & 0xFF) * 6 + int(p & 0xFF)) / 10;
      if (luma < 110) ++dark;
    }
  }
  return dark;
}

bool TScreenPixels::SaveBitmap(const std::wstring& path) const {
  if (Width <= 0 || Height <= 0) return false;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = Width;
  info.biHeight = Height;  // bottom-up, as a file keeps it
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const size_t stride = size_t((Width * 3 + 3) & ~3);
  std::vector<unsigned char> bytes(stride * size_t(Height));
  for (int y = 0; y < Height; ++y) {
    unsigned char* row = bytes.data() + stride * size_t(Height - 1 - y);
    for (int x = 0; x < Width; ++x) {
      const uint32_t p = Pixels[size_t(y) * size_t(Width) + size_t(x)];
      row[x * 3] = p & 0xFF;
      row[x * 3 + 1] = (p >> 8) & 0xFF;
      row[x * 3 + 2] = (p >> 16) & 0xFF;
    }
  }
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + DWORD(bytes.size());
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (!out) return false;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info, sizeof info, 1, out);
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  return std::fclose(out) == 0;
}

TScreenPixels CaptureScreen(const RECT& wanted) {
  // Only the screen has pixels: a maximised window reaches past its edges.
  const RECT whole{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  RECT r{};
  ::IntersectRect(&r, &wanted, &whole);
  TScreenPixels shot;
  shot.Rect = r;
  shot.Width = r.right - r.left;
  shot.Height = r.bottom - r.top;
  if (shot.Width <= 0 || shot.Height <= 0) return shot;
  TScreenDc screen;
  TMemoryDc memory(screen.Dc);
  TBitmap bitmap{::CreateCompatibleBitmap(screen.Dc, shot.Width, shot.Height)};
  const HGDIOBJ old = ::SelectObject(memory.Dc, bitmap.Handle);
  ::BitBlt(memory.Dc, 0, 0, shot.Width, shot.Height, screen.Dc, r.left, r.top, SRCCOPY);
  ::SelectObject(memory.Dc, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = shot.Width;
  info.biHeight = -shot.Height;  // top row first
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  shot.Pixels.resize(size_t(shot.Width) * size_t(shot.Height));
  ::GetDIBits(memory.Dc, bitmap.Handle, 0, UINT(shot.Height), shot.Pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  for (uint32_t& p : shot.Pixels) p &= 0xFFFFFF;
  return shot;
}

void ShootWindowIfAsked(HWND window, const std::wstring& name) {
  const wchar_t* folder = _wgetenv(L"QUOR_WINDOW_SHOTS");
  if (!folder || !*folder || !window) return;
  ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::Sleep(300);  // the frame presents what it drew
  CaptureScreen(ScreenRect(window)).SaveBitmap(std::wstring(folder) + L"\\" + name + L".bmp");
}

}  // namespace quor::test
