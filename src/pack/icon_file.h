#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vm::pack {

// An icon group holds no more images than this. A full Windows set, ten sizes in four colour
// depths, is 40; the limit keeps a damaged image count from turning into thousands of resources.
constexpr size_t kMaxIconImages = 256;

// One image of an .ico file: its directory entry, which an icon group repeats, and its bytes
// (a PNG file or a bitmap without its file header), which become one RT_ICON resource.
struct IconImage {
  uint8_t Width = 0;  // 0 stands for 256
  uint8_t Height = 0;
  uint8_t ColorCount = 0;
  uint8_t Reserved = 0;
  uint16_t Planes = 0;
  uint16_t BitCount = 0;
  std::string Bytes;
};

// The images of an .ico file, in its order. Raises Exception, naming path, for a file that is
// not an icon: another header, a directory cut short, an image outside the file or empty or
// neither PNG nor bitmap, no images or more than kMaxIconImages.
std::vector<IconImage> ReadIconImages(const std::string& bytes, const std::string& path);

}  // namespace vm::pack
