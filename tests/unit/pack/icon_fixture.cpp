#include "unit/pack/icon_fixture.h"

#include <zlib.h>

namespace vmtest {
namespace {

constexpr int kPlanes = 1;
constexpr int kBitsPerPixel = 32;
constexpr size_t kIcoHeaderSize = 6;
constexpr size_t kIcoEntrySize = 16;

void AppendLittle(std::string& out, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

void AppendBig(std::string& out, uint32_t value) {
  for (int i = 3; i >= 0; --i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

void AppendPngChunk(std::string& out, const char* type, const std::string& data) {
  AppendBig(out, static_cast<uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  out += typed;
  AppendBig(out, static_cast<uint32_t>(
                     crc32(0, reinterpret_cast<const Bytef*>(typed.data()), typed.size())));
}

}  // namespace

std::string SolidBitmapImage(int size, uint32_t argb) {
  std::string image;
  AppendLittle(image, 40, 4);        // BITMAPINFOHEADER
  AppendLittle(image, size, 4);
  AppendLittle(image, size * 2, 4);  // colour rows, then the mask's
  AppendLittle(image, kPlanes, 2);
  AppendLittle(image, kBitsPerPixel, 2);
  image.append(24, '\0');
  for (int i = 0; i < size * size; ++i) AppendLittle(image, argb, 4);
  const size_t maskRow = (static_cast<size_t>(size) + 31) / 32 * 4;
  image.append(maskRow * size, '\0');
  return image;
}

std::string SolidPngImage(int size, uint32_t argb) {
  std::string header;
  AppendBig(header, size);
  AppendBig(header, size);
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, no filter, no interlace
  std::string rows;
  for (int y = 0; y < size; ++y) {
    rows += '\0';
    for (int x = 0; x < size; ++x) {
      rows += static_cast<char>(argb >> 16 & 0xFF);
      rows += static_cast<char>(argb >> 8 & 0xFF);
      rows += static_cast<char>(argb & 0xFF);
      rows += static_cast<char>(argb >> 24 & 0xFF);
    }
  }
  uLongf packedSize = compressBound(rows.size());
  std::string packed(packedSize, '\0');
  compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
           reinterpret_cast<const Bytef*>(rows.data()), rows.size());
  packed.resize(packedSize);

  std::string png("\x89PNG\r\n\x1A\n", 8);
  AppendPngChunk(png, "IHDR", header);
  AppendPngChunk(png, "IDAT", packed);
  AppendPngChunk(png, "IEND", "");
  return png;
}

std::string IconFileOf(const std::vector<IconFixtureImage>& images) {
  std::string ico;
  AppendLittle(ico, 0, 2);
  AppendLittle(ico, 1, 2);
  AppendLittle(ico, static_cast<uint32_t>(images.size()), 2);
  size_t offset = kIcoHeaderSize + images.size() * kIcoEntrySize;
  for (const IconFixtureImage& image : images) {
    ico += static_cast<char>(image.Size & 0xFF);  // 256 is written as 0
    ico += static_cast<char>(image.Size & 0xFF);
    ico += '\0';
    ico += '\0';
    AppendLittle(ico, kPlanes, 2);
    AppendLittle(ico, kBitsPerPixel, 2);
    AppendLittle(ico, static_cast<uint32_t>(image.Bytes.size()), 4);
    AppendLittle(ico, static_cast<uint32_t>(offset), 4);
    offset += image.Bytes.size();
  }
  for (const IconFixtureImage& image : images) ico += image.Bytes;
  return ico;
}

}  // namespace vmtest
