#include "platform/process/program_files.h"

#include <unistd.h>

#include "platform/base/host.h"
#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/module/library_names.h"
#include "platform/module/module_host.h"

namespace k460::process {
namespace {

namespace fs = std::filesystem;

std::size_t FolderEnd(std::u16string_view name) {
  std::size_t slash = name.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? 0 : slash + 1;
}

std::u16string WithoutExe(std::u16string_view file) {
  if (file.size() > 4 && EqualsNoCase(file.substr(file.size() - 4), u".exe")) file.remove_suffix(4);
  return std::u16string(file);
}

bool InsideRoot(const fs::path& path) {
  auto rel = path.lexically_normal().lexically_relative(MachineRoot().lexically_normal());
  return !rel.empty() && *rel.begin() != "..";
}

bool IsProgram(const fs::path& file) {
  std::error_code ec;
  return fs::is_regular_file(file, ec) && ::access(file.c_str(), X_OK) == 0;
}

std::optional<fs::path> FindIn(const fs::path& folder, std::u16string_view file) {
  for (const std::u16string& name : {std::u16string(file), WithoutExe(file)})
    if (auto found = module::FindFileInFolder(folder, Utf16ToUtf8(name)); found && IsProgram(*found)) return found;
  return std::nullopt;
}

}  // namespace

std::optional<fs::path> FindProgramFile(std::u16string_view windowsPath) {
  if (windowsPath.empty() || windowsPath.front() == u'/') return std::nullopt;  // no host paths
  std::size_t end = FolderEnd(windowsPath);
  std::u16string_view file = windowsPath.substr(end);
  if (file.empty()) return std::nullopt;
  std::u16string_view folder = windowsPath.substr(0, end);
  while (!folder.empty() && (folder.back() == u'\\' || folder.back() == u'/')) folder.remove_suffix(1);

  fs::path system = HostPath(SystemDirectory()).lexically_normal();
  bool inSystem = folder.empty() || HostPath(folder).lexically_normal() == system;
  fs::path installFolder = folder.empty() ? system : HostPath(folder);
  if (!InsideRoot(installFolder)) return std::nullopt;
  if (auto installed = FindIn(installFolder, file)) return installed;
  if (!inSystem) return std::nullopt;
  for (const auto& searched : LibrarySearchFolders())
    if (auto standIn = FindIn(searched, file)) return standIn;
  return std::nullopt;
}

std::u16string ProgramKey(std::u16string_view windowsPath) {
  return AsciiUpper(WithoutExe(windowsPath.substr(FolderEnd(windowsPath))));
}

}  // namespace k460::process
