// INI files on disk: encodings and replacement in one step.
#include "platform/profile/ini_file.h"

#include "platform/base/host_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/files/file_paths.h"

namespace k460 {
namespace {

std::mutex gMutex;

std::u16string FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  int count = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string text(static_cast<std::size_t>(count > 0 ? count : 0), u'\0');
  if (count > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), count);
  return text;
}

std::string ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  int count = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(count > 0 ? count : 0), '\0');
  if (count > 0)
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), count, nullptr, nullptr);
  return bytes;
}

std::u16string FromUtf16Le(std::string_view bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return text;
}

std::string ToUtf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

}  // namespace

std::unique_lock<std::mutex> LockProfiles() { return std::unique_lock(gMutex); }

bool ProfilePath(LPCWSTR fileName, std::filesystem::path* path, DWORD* error) {
  std::u16string name = fileName ? std::u16string(fileName) : u"win.ini";
  if (name.find_first_of(u"\\/:") == std::u16string::npos) name = WindowsDirectory() + u"\\" + name;
  return ResolveFileName(name.c_str(), path, error);
}

IniFile LoadIniFile(const std::filesystem::path& path) {
  IniFile file;
  file.path = path;
  std::ifstream in(path, std::ios::binary);
  if (!in) return file;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  file.exists = true;
  std::u16string text;
  if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
    file.encoding = IniEncoding::Utf16;
    text = FromUtf16Le(std::string_view(bytes).substr(2));
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    file.encoding = IniEncoding::Utf8;
    text = Utf8ToUtf16(std::string_view(bytes).substr(3));
  } else {
    text = FromAnsi(bytes);
  }
  file.document = IniDocument::Parse(text);
  return file;
}

DWORD SaveIniFile(const IniFile& file) {
  std::u16string text = file.document.Serialize();
  std::string bytes;
  switch (file.encoding) {
    case IniEncoding::Utf16: bytes = ToUtf16Le(text); break;
    case IniEncoding::Utf8: bytes = "\xEF\xBB\xBF" + Utf16ToUtf8(text); break;
    case IniEncoding::Ansi: bytes = ToAnsi(text); break;
  }
  int err = ReplaceFileContents(file.path, bytes, true);
  if (err == 0) return ERROR_SUCCESS;
  return err == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err, file.path);
}

}  // namespace k460
