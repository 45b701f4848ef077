#include "toolkit/PngImage.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/Handles.h"
#include "toolkit/QuorBitmap.h"

namespace quor {
namespace {

struct MemoryReader {
  std::span<const uint8_t> data;
  size_t offset = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (reader->data.size() - reader->offset < count) png_error(png, "truncated PNG");
  std::memcpy(out, reader->data.data() + reader->offset, count);
  reader->offset += count;
}

void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

constexpr png_uint_32 kMaxSide = 16384;

}  // namespace

TPngImage::TPngImage(int width, int height)
    : FWidth(std::max(width, 0)),
      FHeight(std::max(height, 0)),
      FPixels(size_t(FWidth) * FHeight * 4, 0) {}

std::optional<TPngImage> TPngImage::FromMemory(std::span<const uint8_t> data) {
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return std::nullopt;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!png) return std::nullopt;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return std::nullopt;
  }
  // Everything that must survive the longjmp of a decoding error lives outside this frame.
  MemoryReader reader{data, 0};
  std::optional<TPngImage> result;
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return std::nullopt;
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_read_info(png, info);
  png_uint_32 width = png_get_image_width(png, info);
  png_uint_32 height = png_get_image_height(png, info);
  int colorType = png_get_color_type(png, info);
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
    png_destroy_read_struct(&png, &info, nullptr);
    return std::nullopt;
  }
  bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 ||
                  png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  result.emplace(int(width), int(height));
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = result->Row(int(y));
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  result->FHasAlpha = hasAlpha;
  return result;
}

std::optional<TPngImage> TPngImage::FromFile(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > (64 << 20)) return std::nullopt;
  std::vector<uint8_t> data(size_t(size.QuadPart));
  DWORD read = 0;
  if (!data.empty() && (!::ReadFile(file.Get(), data.data(), DWORD(data.size()), &read, nullptr) ||
                        read != data.size()))
    return std::nullopt;
  return FromMemory(data);
}

std::optional<TPngImage> TPngImage::FromResource(HMODULE module, const std::wstring& name) {
  HRSRC info = ::FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10));
  if (!info) return std::nullopt;
  HGLOBAL loaded = ::LoadResource(module, info);
  DWORD size = ::SizeofResource(module, info);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes || size == 0) return std::nullopt;
  return FromMemory({static_cast<const uint8_t*>(bytes), size});
}

void ComposePixel(uint8_t* d, const uint8_t* s) {
  const unsigned a = s[3];
  if (a == 0) return;
  if (a == 255) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
    d[3] = 255;
    return;
  }
  for (int c = 0; c < 3; ++c) d[c] = uint8_t((a * s[c] + (255 - a) * d[c] + 127) / 255);
  d[3] = uint8_t(255 - ((255 - d[3]) * (255 - a) + 127) / 255);
}

void TPngImage::Draw(TQuorBitmap& target, const RECT& dest) const {
  if (Empty() || target.Empty()) return;
  const int dw = dest.right - dest.left;
  const int dh = dest.bottom - dest.top;
  if (dw <= 0 || dh <= 0) return;
  const int x0 = std::max<int>(dest.left, 0), x1 = std::min<int>(dest.right, target.Width());
  const int y0 = std::max<int>(dest.top, 0), y1 = std::min<int>(dest.bottom, target.Height());
  if (x0 >= x1 || y0 >= y1) return;
  const bool sameSize = dw == FWidth && dh == FHeight;
  const double xRatio = double(dw) / FWidth;
  const double yRatio = double(dh) / FHeight;
  // Column lookup once per draw; scaling is nearest neighbour, truncating.
  std::vector<int> srcColumn(size_t(x1 - x0));
  for (int x = x0; x < x1; ++x) {
    int i = x - dest.left;
    int sx = sameSize ? i : int(std::trunc(i / xRatio));
    srcColumn[size_t(x - x0)] = std::clamp(sx, 0, FWidth - 1);
  }
  for (int y = y0; y < y1; ++y) {
    int j = y - dest.top;
    int sy = std::clamp(sameSize ? j : int(std::trunc(j / yRatio)), 0, FHeight - 1);
    const uint8_t* srcRow = Row(sy);
    uint8_t* dstRow = target.Pixel(0, y);
    for (int x = x0; x < x1; ++x)
      ComposePixel(dstRow + size_t(x) * 4, srcRow + size_t(srcColumn[size_t(x - x0)]) * 4);
  }
}

}  // namespace quor
