// A font file as the engine holds it: its bytes (which drivers may read,
// FONTOBJ_pvTrueTypeFontFile) and a FreeType face over them. One per file
// in the process; FreeType is used under the file's lock.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/types.h"

typedef struct FT_FaceRec_* FT_Face;

namespace k460::engine {

class FontFile {
 public:
  ~FontFile();
  FontFile(const FontFile&) = delete;
  FontFile& operator=(const FontFile&) = delete;

  // The file at `path`, loaded once; null when it cannot be read or parsed.
  static std::shared_ptr<FontFile> Open(const std::string& path);

  const std::vector<BYTE>& Bytes() const { return bytes_; }
  bool TrueType() const { return trueType_; }  // glyf outlines (not CFF)
  ULONG Id() const { return id_; }               // the same for every realisation of the file
  FT_Face Face() const { return face_; }
  std::mutex& Lock() { return mutex_; }

 private:
  FontFile() = default;
  std::vector<BYTE> bytes_;
  FT_Face face_ = nullptr;
  bool trueType_ = false;
  ULONG id_ = 0;
  std::mutex mutex_;
};

}  // namespace k460::engine
