#include "pack/icon_file.h"

#include "pack/little_endian.h"
#include "support/errors.h"

namespace vm::pack {
namespace {

constexpr size_t kHeaderSize = 6;  // reserved, type, count
constexpr size_t kEntrySize = 16;
constexpr uint32_t kIconType = 1;
constexpr char kPngSignature[] = "\x89PNG\r\n\x1A\n";
constexpr size_t kPngSignatureSize = 8;
constexpr uint32_t kBitmapInfoHeaderSize = 40;

bool IsPng(const std::string& image) {
  return image.compare(0, kPngSignatureSize, kPngSignature, kPngSignatureSize) == 0;
}

// Icons keep bitmaps as a BITMAPINFOHEADER (or a later, longer header) and the pixels.
bool IsBitmap(const std::string& image) {
  return image.size() >= 4 && ReadLe(image, 0, 4) >= kBitmapInfoHeaderSize &&
         ReadLe(image, 0, 4) <= image.size();
}

}  // namespace

std::vector<IconImage> ReadIconImages(const std::string& bytes, const std::string& path) {
  if (bytes.size() < kHeaderSize || ReadLe(bytes, 0, 2) != 0 || ReadLe(bytes, 2, 2) != kIconType)
    throw Exception(path + " is not an icon file: it does not start with an .ico header");
  const size_t count = ReadLe(bytes, 4, 2);
  if (count == 0) throw Exception(path + " holds no icon images");
  if (count > kMaxIconImages)
    throw Exception(path + " holds " + std::to_string(count) + " images; an icon group holds at most " +
                    std::to_string(kMaxIconImages));
  const size_t directoryEnd = kHeaderSize + count * kEntrySize;
  if (bytes.size() < directoryEnd)
    throw Exception("The image directory of " + path + " is cut short: " + std::to_string(count) +
                    " images need " + std::to_string(directoryEnd) + " bytes, the file has " +
                    std::to_string(bytes.size()));

  std::vector<IconImage> images;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = kHeaderSize + i * kEntrySize;
    const uint64_t size = ReadLe(bytes, entry + 8, 4);
    const uint64_t offset = ReadLe(bytes, entry + 12, 4);
    const std::string which = "Image " + std::to_string(i + 1) + " of " + path;
    if (offset + size > bytes.size())
      throw Exception(which + " lies outside the file: " + std::to_string(size) +
                      " bytes at offset " + std::to_string(offset) + ", the file has " +
                      std::to_string(bytes.size()));
    if (size == 0) throw Exception(which + " is empty");
    IconImage image;
    image.Width = static_cast<uint8_t>(bytes[entry]);
    image.Height = static_cast<uint8_t>(bytes[entry + 1]);
    image.ColorCount = static_cast<uint8_t>(bytes[entry + 2]);
    image.Reserved = static_cast<uint8_t>(bytes[entry + 3]);
    image.Planes = static_cast<uint16_t>(ReadLe(bytes, entry + 4, 2));
    image.BitCount = static_cast<uint16_t>(ReadLe(bytes, entry + 6, 2));
    image.Bytes = bytes.substr(offset, size);
    if (!IsPng(image.Bytes) && !IsBitmap(image.Bytes))
      throw Exception(which + " is neither a PNG image nor a bitmap");
    images.push_back(std::move(image));
  }
  return images;
}

}  // namespace vm::pack
