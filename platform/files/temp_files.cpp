// The temporary folder and unique temporary file names.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "platform/base/internal.h"
#include "platform/base/text.h"
#include "platform/files/file_paths.h"
#include "platform/files/files.h"
#include "platform/files/standard_folders.h"

namespace {

std::mutex gMutex;
bool gSeeded = false;
UINT gNext = 0;

// Where the search for a free number starts: seeded from the clock and the
// process like the original, then moving on from the last number used.
UINT NextNumber() {
  std::lock_guard lock(gMutex);
  if (!gSeeded) {
    gSeeded = true;
    gNext = GetTickCount() ^ (GetCurrentProcessId() * 2654435761u);
  }
  return gNext++;
}

void ContinueAfter(UINT used) {
  std::lock_guard lock(gMutex);
  gNext = used + 1;
}

std::u16string Hex(UINT value) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string out;
  do {
    out.insert(out.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value);
  return out;
}

}  // namespace

K460_API DWORD GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer) {
  k460::EnsureStandardFolders();
  std::u16string folder = k460::TempDirectory();
  k460::EnsureFolder(folder);
  return k460::CopyOutString(folder + u"\\", lpBuffer, nBufferLength);
}

K460_API UINT GetTempFileNameW(LPCWSTR lpPathName, LPCWSTR lpPrefixString, UINT uUnique, LPWSTR lpTempFileName) {
  if (!lpPathName || !lpTempFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string base(k460::WideView(lpPathName));
  if (k460::CallFailsSetError("GetTempFileNameW", k460::Utf16ToUtf8(base))) return 0;
  if (base.size() > MAX_PATH - 14) {
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return 0;
  }
  if (!base.empty() && base.back() != u'\\' && base.back() != u'/') base += u'\\';
  base += k460::WideView(lpPrefixString).substr(0, 3);
  auto nameFor = [&](UINT number) { return base + Hex(number & 0xFFFF) + u".tmp"; };
  auto deliver = [&](const std::u16string& name) {
    name.copy(lpTempFileName, name.size());
    lpTempFileName[name.size()] = 0;
  };
  if (uUnique != 0) {  // the caller's number: only the name is formed
    deliver(nameFor(uUnique));
    return uUnique;
  }

  std::filesystem::path folder;
  DWORD error = ERROR_SUCCESS;
  std::error_code ec;
  if (!k460::ResolveFileName(lpPathName, &folder, &error) || !std::filesystem::is_directory(folder, ec)) {
    SetLastError(ERROR_DIRECTORY);
    return 0;
  }
  // Numbers are tried one after another until a file can be created anew.
  UINT start = NextNumber();
  for (UINT i = 0; i < 0x10000; ++i) {
    UINT number = (start + i) & 0xFFFF;
    if (number == 0) continue;
    std::u16string name = nameFor(number);
    std::filesystem::path path = k460::HostPath(name);
    int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      ContinueAfter(number);
      deliver(name);
      return number;
    }
    if (errno != EEXIST && errno != EACCES && errno != EISDIR) {
      SetLastError(k460::ErrorFromErrno(errno, path));
      return 0;
    }
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}
