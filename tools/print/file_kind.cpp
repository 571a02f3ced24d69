#include "tools/print/file_kind.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "tools/print/print_error.h"

namespace k460::print {

FileKind SniffFileKind(std::span<const std::uint8_t> head) {
  static constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (head.size() >= 8 && std::memcmp(head.data(), kPngSignature, 8) == 0) return FileKind::Png;
  if (head.size() >= 3 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6' &&
      (head[2] == ' ' || head[2] == '\n' || head[2] == '\r' || head[2] == '\t' || head[2] == '#'))
    return FileKind::Pnm;
  const std::string_view text(reinterpret_cast<const char*>(head.data()), std::min<std::size_t>(head.size(), 1024));
  if (text.find("%PDF-") != std::string_view::npos) return FileKind::Pdf;
  return FileKind::PageScript;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  errno = 0;
  std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw DocumentError(path + ": cannot read: " + std::strerror(errno));
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    if (bytes.size() + got > kMaxFileBytes)
      throw DocumentError(path + ": cannot read: larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB");
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  if (std::ferror(file.get())) throw DocumentError(path + ": cannot read: " + std::strerror(errno ? errno : EIO));
  return bytes;
}

}  // namespace k460::print
