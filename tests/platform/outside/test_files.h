// Files behind the encoder's callbacks in the tests: a file in memory that
// can be told to fail like a full disk or a broken device, and the
// platform's own files as the monitors use them.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/outside/qtxtoenc/qtxtoenc.h"

namespace k460::testing {

class MemoryFile {
 public:
  std::vector<BYTE> bytes;
  DWORD position = 0;
  // Writes fail once this many more bytes have been written (a full disk).
  std::optional<std::size_t> writeBudget;
  DWORD writeError = 112;  // ERROR_DISK_FULL; 0 sets no last error
  bool failReads = false;
  bool failSeeks = false;

  HANDLE handle() { return this; }
  static DWORD CALLBACK Write(HANDLE file, LPCVOID buffer, DWORD bytes);
  static DWORD CALLBACK Read(HANDLE file, LPVOID buffer, DWORD bytes);
  static DWORD CALLBACK Seek(HANDLE file, LONG distance, DWORD method);
};

// Callbacks over the platform's WriteFile, ReadFile and SetFilePointer.
DWORD CALLBACK PlatformWrite(HANDLE file, LPCVOID buffer, DWORD bytes);
DWORD CALLBACK PlatformRead(HANDLE file, LPVOID buffer, DWORD bytes);
DWORD CALLBACK PlatformSeek(HANDLE file, LONG distance, DWORD method);

}  // namespace k460::testing
