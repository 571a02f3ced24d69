#include "tools/k460rc/file_resources.h"

namespace k460rc {
namespace {

constexpr std::size_t kBitmapFileHeaderSize = 14;
constexpr std::size_t kBitmapInfoHeaderSize = 40;
constexpr std::size_t kIconDirectorySize = 6;
constexpr std::size_t kIconFileEntrySize = 16;

std::uint32_t Read16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t Read32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return Read16(b, at) | (Read16(b, at + 2) << 16);
}
void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

}  // namespace

std::vector<std::uint8_t> BitmapResource(const std::vector<std::uint8_t>& file, const std::filesystem::path& path,
                                         const SourceLocation& where) {
  if (file.size() < kBitmapFileHeaderSize + kBitmapInfoHeaderSize || file[0] != 'B' || file[1] != 'M')
    throw CompileError(where, "'" + path.string() + "' is not a BMP file");
  return {file.begin() + kBitmapFileHeaderSize, file.end()};
}

IconFile ReadIconFile(const std::vector<std::uint8_t>& file, const std::filesystem::path& path,
                      const SourceLocation& where) {
  auto bad = [&](const std::string& why) { return CompileError(where, "'" + path.string() + "' is not an icon file: " + why); };
  if (file.size() < kIconDirectorySize || Read16(file, 0) != 0 || Read16(file, 2) != 1) throw bad("no icon directory");
  std::size_t count = Read16(file, 4);
  if (count == 0) throw bad("no images");
  if (file.size() < kIconDirectorySize + count * kIconFileEntrySize) throw bad("directory cut short");
  IconFile icon;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t entry = kIconDirectorySize + i * kIconFileEntrySize;
    std::uint64_t size = Read32(file, entry + 8), offset = Read32(file, entry + 12);
    if (size == 0 || offset + size > file.size()) throw bad("image " + std::to_string(i + 1) + " lies outside the file");
    icon.entryHeads.emplace_back(file.begin() + static_cast<std::ptrdiff_t>(entry),
                                 file.begin() + static_cast<std::ptrdiff_t>(entry + 8));
    icon.images.emplace_back(file.begin() + static_cast<std::ptrdiff_t>(offset),
                             file.begin() + static_cast<std::ptrdiff_t>(offset + size));
  }
  return icon;
}

std::vector<std::uint8_t> IconGroup(const IconFile& icon, const std::vector<std::uint16_t>& numbers) {
  std::vector<std::uint8_t> group;
  Put16(group, 0);
  Put16(group, 1);
  Put16(group, static_cast<std::uint32_t>(icon.images.size()));
  for (std::size_t i = 0; i < icon.images.size(); ++i) {
    group.insert(group.end(), icon.entryHeads[i].begin(), icon.entryHeads[i].end());
    std::uint32_t size = static_cast<std::uint32_t>(icon.images[i].size());
    Put16(group, size & 0xFFFF);
    Put16(group, size >> 16);
    Put16(group, numbers[i]);
  }
  return group;
}

}  // namespace k460rc
