// Window screenshots as PNG (see screenshot.h). The PNG is written with
// stored (uncompressed) deflate blocks: a few lines instead of a dependency.
#include "screenshot.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Crc32(const std::uint8_t* data, size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBigEndian(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(Bytes& out, const char* type, const Bytes& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  Bytes typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBigEndian(out, Crc32(typed.data(), typed.size()));
}

Bytes ZlibStored(const Bytes& raw) {
  Bytes z{0x78, 0x01};
  size_t pos = 0;
  do {
    const size_t n = std::min<size_t>(raw.size() - pos, 65535);
    const bool last = pos + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n & 0xFF));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n & 0xFF));
    z.push_back(static_cast<std::uint8_t>((~n >> 8) & 0xFF));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
             raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(z, (b << 16) | a);
  return z;
}

// Rows of filter byte 0 and RGB triples, from a top-down BGRA image.
Bytes PngFromBgra(const std::uint8_t* bgra, int width, int height) {
  Bytes raw;
  raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    const std::uint8_t* row = bgra + static_cast<size_t>(y) * 4 * static_cast<size_t>(width);
    for (int x = 0; x < width; ++x) {
      raw.push_back(row[4 * x + 2]);
      raw.push_back(row[4 * x + 1]);
      raw.push_back(row[4 * x + 0]);
    }
  }
  Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", ZlibStored(raw));
  PutChunk(png, "IEND", {});
  return png;
}

// The pixels (BGRA, top-down) of `width` x `height` at (x, y) of `source`.
std::vector<std::uint32_t> Capture(HDC source, int x, int y, int width, int height) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;  // top-down
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP dib = CreateDIBSection(source, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  std::vector<std::uint32_t> pixels;
  if (BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY)) {
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    pixels.assign(p, p + static_cast<size_t>(width) * static_cast<size_t>(height));
  }
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  return pixels;
}

// Wine copies what a window draws to the screen a moment later. The screen
// is up to date when the middle row of each child that no sibling overlaps
// shows what the child's own device context holds.
bool ScreenShowsChildren(HWND window, const RECT& r, const std::vector<std::uint32_t>& screen) {
  std::vector<RECT> children;
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT cr{};
    if (IsWindowVisible(c) && GetWindowRect(c, &cr)) children.push_back(cr);
  }
  size_t i = 0;
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    const RECT cr = children[i++];
    RECT overlap{};
    bool alone =
        cr.left >= r.left && cr.top >= r.top && cr.right <= r.right && cr.bottom <= r.bottom;
    for (const RECT& other : children) {
      if (&other != &children[i - 1] && IntersectRect(&overlap, &cr, &other)) alone = false;
    }
    if (!alone || cr.right <= cr.left || cr.bottom <= cr.top) continue;
    HDC dc = GetWindowDC(c);
    const int row = (cr.bottom - cr.top) / 2, width = cr.right - cr.left;
    const std::vector<std::uint32_t> own = Capture(dc, 0, row, width, 1);
    ReleaseDC(c, dc);
    const size_t start =
        static_cast<size_t>(cr.top + row - r.top) * static_cast<size_t>(r.right - r.left) +
        static_cast<size_t>(cr.left - r.left);
    for (int x = 0; x < width && x < static_cast<int>(own.size()); ++x) {
      if ((own[static_cast<size_t>(x)] ^ screen[start + static_cast<size_t>(x)]) & 0xFFFFFFu) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

bool SaveWindowScreenshot(HWND window, const std::wstring& path, ScreenshotInfo* info) {
  RECT r{};
  if (!GetWindowRect(window, &r)) return false;
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen_dc = GetDC(nullptr);
  std::vector<std::uint32_t> pixels;
  // Bounded: a picture a moment old is still worth keeping.
  for (int attempt = 0; attempt < 100; ++attempt) {
    pixels = Capture(screen_dc, r.left, r.top, width, height);
    if (pixels.empty() || ScreenShowsChildren(window, r, pixels)) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  ReleaseDC(nullptr, screen_dc);
  if (pixels.empty()) return false;
  if (info) {
    std::set<std::uint32_t> colors;
    for (std::uint32_t p : pixels) colors.insert(p & 0xFFFFFFu);
    *info = {width, height, static_cast<int>(colors.size())};
  }
  const Bytes png =
      PngFromBgra(reinterpret_cast<const std::uint8_t*>(pixels.data()), width, height);
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (!file) return false;
  const bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
  return fclose(file) == 0 && written;
}
