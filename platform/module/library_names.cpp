// Library names: the system's own libraries, the mapping of Windows file
// names to shared objects and the search folders.
#include "platform/module/library_names.h"

#include <dlfcn.h>

#include <cstdlib>
#include <system_error>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/module/module.h"
#include "platform/module/module_host.h"

namespace k460::module {
namespace {

namespace fs = std::filesystem;

// System libraries whose functions the suite looks up or whose names it
// loads; all of them are the platform here.
constexpr std::u16string_view kSystemLibraries[] = {
    u"kernel32.dll", u"user32.dll",   u"advapi32.dll", u"userenv.dll",  u"shell32.dll",
    u"winspool.drv", u"gdi32.dll",    u"ole32.dll",    u"ntdll.dll",    u"comctl32.dll",
    u"comdlg32.dll", u"ws2_32.dll",   u"spoolss.dll",
};

constexpr std::string_view kWindowsExtensions[] = {".dll", ".exe", ".ocx", ".drv"};

std::size_t FolderEnd(std::u16string_view name) {
  std::size_t slash = name.find_last_of(u"\\/");
  if (slash != std::u16string_view::npos) return slash + 1;
  if (name.size() >= 2 && name[1] == u':') return 2;  // "C:name"
  return 0;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::u16string LowerAscii(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return out;
}

}  // namespace

LibraryName ParseLibraryName(std::u16string_view name) {
  std::size_t end = FolderEnd(name);
  LibraryName result;
  result.folder = std::u16string(name.substr(0, end));
  std::string file = Utf16ToUtf8(name.substr(end));
  if (!file.empty() && file.back() == '.') file.pop_back();  // "name." asks for no extension
  for (auto extension : kWindowsExtensions)
    if (EndsWithNoCase(file, extension)) {
      file.resize(file.size() - extension.size());
      break;
    }
  if (!EndsWithNoCase(file, ".so")) file += ".so";
  result.fileName = file;
  return result;
}

std::optional<std::u16string> SystemLibraryName(std::u16string_view name) {
  std::size_t end = FolderEnd(name);
  std::u16string file = LowerAscii(name.substr(end));
  if (file.find(u'.') == std::u16string::npos) file += u".dll";
  bool known = false;
  for (auto system : kSystemLibraries) known = known || file == system;
  if (!known) return std::nullopt;
  if (end > 0) {
    std::u16string_view folder = name.substr(0, end);
    while (!folder.empty() && (folder.back() == u'\\' || folder.back() == u'/')) folder.remove_suffix(1);
    if (HostPath(folder).lexically_normal() != HostPath(SystemDirectory()).lexically_normal()) return std::nullopt;
  }
  return file;
}

std::optional<fs::path> FindFileInFolder(const fs::path& folder, std::string_view fileName) {
  std::error_code ec;
  fs::path exact = folder / fileName;
  if (fs::is_regular_file(exact, ec)) return exact;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (EqualsNoCase(it->path().filename().string(), fileName) && fs::is_regular_file(it->path(), ec))
      return it->path();
  return std::nullopt;
}

std::vector<fs::path> SearchFolders() {
  std::vector<fs::path> folders{HostPath(PrinterDriverDirectory())};
  if (const char* libpath = std::getenv("K460_LIBPATH")) {
    std::string_view rest(libpath);
    while (!rest.empty()) {
      std::size_t colon = rest.find(':');
      std::string_view part = rest.substr(0, colon);
      if (!part.empty()) folders.emplace_back(part);
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  folders.push_back(PlatformLibraryPath().parent_path());
  return folders;
}

const fs::path& PlatformLibraryPath() {
  static const fs::path path = [] {
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&LoadLibraryW), &info);
    std::error_code ec;
    fs::path file = info.dli_fname ? fs::path(info.dli_fname) : fs::path();
    fs::path canonical = fs::canonical(file, ec);
    return ec ? file : canonical;
  }();
  return path;
}

}  // namespace k460::module

namespace k460 {
std::vector<std::filesystem::path> LibrarySearchFolders() { return module::SearchFolders(); }
}  // namespace k460
