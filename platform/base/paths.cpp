// Windows paths inside the machine root.
#include <cctype>
#include <system_error>

#include "platform/base/host.h"
#include "platform/base/internal.h"
#include "platform/base/text.h"

namespace k460 {
namespace {

namespace fs = std::filesystem;

// Finds `name` in `dir`, first exactly, then without regard to ASCII case.
fs::path MatchComponent(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  fs::path exact = dir / name;
  if (fs::exists(exact, ec)) return exact;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string candidate = it->path().filename().string();
    if (EqualsNoCase(candidate, name)) return it->path();
  }
  return exact;
}

fs::path Resolve(fs::path base, std::string_view rest) {
  std::size_t i = 0;
  while (i <= rest.size()) {
    std::size_t j = rest.find_first_of("\\/", i);
    if (j == std::string_view::npos) j = rest.size();
    std::string part(rest.substr(i, j - i));
    i = j + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      base = base.parent_path();
      continue;
    }
    base = MatchComponent(base, part);
  }
  return base;
}

}  // namespace

fs::path HostPath(std::u16string_view windowsPath) {
  std::string path = Utf16ToUtf8(windowsPath);
  if (!path.empty() && path[0] == '/') return fs::path(path);
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    std::string drive = "drive_";
    drive += static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    return Resolve(MachineRoot() / drive, std::string_view(path).substr(2));
  }
  if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/'))
    return Resolve(MachineRoot() / "unc", std::string_view(path).substr(2));
  if (!path.empty() && path[0] == '\\')  // rooted on the current drive
    return Resolve(MachineRoot() / "drive_c", path);
  std::error_code ec;
  return Resolve(fs::current_path(ec), path);
}

std::u16string WindowsPath(const fs::path& hostPath) {
  fs::path root = MachineRoot();
  fs::path abs = fs::absolute(hostPath).lexically_normal();
  auto rel = abs.lexically_relative(root);
  std::string r = rel.generic_string();
  if (!rel.empty() && r.rfind("drive_", 0) == 0 && r.size() >= 7) {
    std::string out(1, static_cast<char>(std::toupper(static_cast<unsigned char>(r[6]))));
    out += ":\\";
    for (std::size_t i = 8; i < r.size(); ++i) out += r[i] == '/' ? '\\' : r[i];
    return Utf8ToUtf16(out);
  }
  return Utf8ToUtf16(hostPath.string());
}

std::u16string WindowsDirectory() { return u"C:\\Windows"; }
std::u16string SystemDirectory() { return u"C:\\Windows\\System32"; }
std::u16string PrinterDriverDirectory() { return u"C:\\Windows\\System32\\spool\\drivers\\w32x86\\3"; }
std::u16string TempDirectory() { return u"C:\\Windows\\Temp"; }
std::u16string ProfileDirectory() { return u"C:\\Users\\" + Utf8ToUtf16(GetMachineProfile().userName); }
std::u16string AllUsersDirectory() { return u"C:\\ProgramData"; }

}  // namespace k460
