// Resources whose files the compiler takes apart: bitmaps (.bmp, stored
// without the 14-byte file header, as the system stores them) and icons
// (.ico: each image becomes an RT_ICON, the directory an RT_GROUP_ICON).
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/k460rc/diagnostics.h"

namespace k460rc {

std::vector<std::uint8_t> BitmapResource(const std::vector<std::uint8_t>& file, const std::filesystem::path& path,
                                         const SourceLocation& where);

struct IconFile {
  // The first 8 bytes of each directory entry (before size and offset):
  // width, height, colours, reserved, planes (2), bits per pixel (2).
  std::vector<std::vector<std::uint8_t>> entryHeads;
  std::vector<std::vector<std::uint8_t>> images;
};

IconFile ReadIconFile(const std::vector<std::uint8_t>& file, const std::filesystem::path& path,
                      const SourceLocation& where);

// The group directory: the file's directory with each image's number in
// place of its file offset (14 bytes per entry).
std::vector<std::uint8_t> IconGroup(const IconFile& icon, const std::vector<std::uint16_t>& numbers);

}  // namespace k460rc
