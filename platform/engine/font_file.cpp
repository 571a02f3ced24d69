#include "platform/engine/font_file.h"

#include <fstream>
#include <map>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

namespace k460::engine {
namespace {

struct Library {
  std::mutex mutex;
  FT_Library ft = nullptr;
  std::map<std::string, std::weak_ptr<FontFile>> files;
  ULONG nextId = 1;
};

// Kept for the life of the process: faces may outlive static destruction order.
Library& TheLibrary() {
  static Library* library = [] {
    auto* l = new Library;
    if (FT_Init_FreeType(&l->ft) != 0) l->ft = nullptr;
    return l;
  }();
  return *library;
}

}  // namespace

FontFile::~FontFile() {
  if (face_) {
    std::lock_guard lock(TheLibrary().mutex);  // FT_Done_Face touches the library
    FT_Done_Face(face_);
  }
}

std::shared_ptr<FontFile> FontFile::Open(const std::string& path) {
  Library& library = TheLibrary();
  std::lock_guard lock(library.mutex);
  if (!library.ft) return nullptr;
  if (auto existing = library.files[path].lock()) return existing;
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  std::shared_ptr<FontFile> file(new FontFile);
  file->bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (file->bytes_.empty() ||
      FT_New_Memory_Face(library.ft, file->bytes_.data(), static_cast<FT_Long>(file->bytes_.size()), 0,
                         &file->face_) != 0) {
    file->face_ = nullptr;
    return nullptr;
  }
  FT_ULong length = 0;
  file->trueType_ = FT_Load_Sfnt_Table(file->face_, FT_MAKE_TAG('g', 'l', 'y', 'f'), 0, nullptr, &length) == 0;
  file->id_ = library.nextId++;
  library.files[path] = file;
  return file;
}

}  // namespace k460::engine
