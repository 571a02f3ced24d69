// Showing things to the user. The monitor runs in the spooler service,
// which cannot show windows on Windows XP and later, so it starts programs
// of the system directory in the user's session instead: the message
// program "qtxweb.exe" with /M"text" /C"caption". On Windows 2000 and NT it
// shows message boxes itself.
#pragma once

#include <string>
#include <vector>

#include "monitors/netmon/port_record.h"
#include "platform/base/base.h"

namespace netmon {

// A started program: whether it started, and its process handle when the
// caller asked to keep it.
struct ProgramRun {
  HANDLE process = nullptr;
  bool started = false;
};

// Starts "<system directory>\<program> <arguments>" for the user of the
// calling thread (its token duplicated as a primary token), with a visible
// normal window. With `keepProcess` the process handle is handed back
// (the caller closes it); otherwise it is closed at once.
ProgramRun StartUserProgram(const std::u16string& program, const std::u16string& arguments, bool keepProcess);

// Waits for a started program to end, for at most `limitMs` (platform
// time, in steps so that a virtual clock cannot cut it short); true when it
// ended.
bool WaitForProgram(HANDLE process, DWORD limitMs);

// `text` for a command line: in double quotes, with quotes and the
// backslashes before them escaped so that the program reads it back as it
// was written.
std::u16string QuoteArgument(std::u16string_view text);

// A message by resource ids: the text (printf-style with `args`, at most
// 256 characters) and the caption (at most 40). The message program first;
// when it cannot be started, MessageBox with `icon`.
void ShowMessageById(UINT textId, UINT captionId, UINT icon, const std::vector<std::u16string>& args = {});

// A message with ready texts (the job code): with a port on Windows XP and
// later through the message program, FALSE when it cannot be started; with
// no port, or on Windows 2000 and NT, MessageBox with `type`.
BOOL ShowMessageText(const IniPort* port, const std::u16string& text, const std::u16string& caption, UINT type);

}  // namespace netmon
