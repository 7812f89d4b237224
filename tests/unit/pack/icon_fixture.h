#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vmtest {

// One image of a test icon: its width and height (256 at most) and its bytes.
struct IconFixtureImage {
  int Size = 0;
  std::string Bytes;
};

// A 32-bit icon bitmap of one colour (0xAARRGGBB), as an .ico file or RT_ICON holds it.
std::string SolidBitmapImage(int size, uint32_t argb);
// A PNG file of one colour, as Vista-style icons hold their 256-pixel images.
std::string SolidPngImage(int size, uint32_t argb);

// An .ico file laid out as icon tools write it: header, directory, then the images in order.
std::string IconFileOf(const std::vector<IconFixtureImage>& images);

}  // namespace vmtest
