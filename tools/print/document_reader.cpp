#include "tools/print/document_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/print/file_kind.h"
#include "tools/print/image_reader.h"
#include "tools/print/page_script.h"
#include "tools/print/pdf_reader.h"
#include "tools/print/print_error.h"

namespace k460::print {
namespace {

// The first bytes of the file, enough to tell its kind.
std::vector<std::uint8_t> ReadHead(const std::string& path) {
  std::vector<std::uint8_t> head(1024);
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw DocumentError(path + ": cannot read: " + std::strerror(errno));
  const std::size_t got = std::fread(head.data(), 1, head.size(), file);
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) throw DocumentError(path + ": cannot read: " + std::strerror(error ? error : EIO));
  head.resize(got);
  return head;
}

}  // namespace

std::unique_ptr<PageSource> OpenDocument(const std::string& path, const ReadOptions& options) {
  switch (SniffFileKind(ReadHead(path))) {
    case FileKind::Pdf:
      return OpenPdfDocument(path, options);
    case FileKind::Png:
    case FileKind::Pnm:
      return MakeMemorySource(ReadImageDocument(path, options));
    case FileKind::PageScript:
      break;
  }
  return MakeMemorySource(ReadPageScript(path));
}

}  // namespace k460::print
