// The device commands as both port monitors build them with the command
// library: which elements and parameters each command carries, in which
// nesting and order, with which values, and how the device's answer is read.
//
// The monitors hand the library element keys of command_keys.h and values;
// the library turns the tree into bytes and, for the network monitor, posts
// it. The network monitor names the device job by its service id and tells
// the device its own address ("port id" 1); the language monitor writes to
// the printer port, where neither is sent ("port id" 0).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "monitors/common/page_records.h"
#include "platform/base/base.h"
#include "platform/outside/command/mcmd.h"

namespace k460::command {

// The commands (`nCmdID`). The data upload is told apart by kCmdData when
// its answer is read.
enum CommandId : int {
  kCmdCreate = 0,
  kCmdAdd = 1,
  kCmdEnd = 2,
  kCmdGetStatus = 3,
  kCmdCreateFax = 4,
  kCmdData = 20,
};

// The port ids: the printer port (language monitor) and the network.
inline constexpr int kPortIdPrinterPort = 0;
inline constexpr int kPortIdNetwork = 1;

// The sections a command's tree completed (the build result). CREATE FAX
// reuses the low bits for its own sections.
inline constexpr int kBuiltJobInfo = 1;  // GETSTATUS: the PARAM section
inline constexpr int kBuiltImageInfo = 2;
inline constexpr int kBuiltOutputInfo = 4;
inline constexpr int kBuiltPrint = 8;
inline constexpr int kBuiltFaxJobInfo = 1;
inline constexpr int kBuiltFaxCondition = 2;
inline constexpr int kBuiltFax = 4;

// What a complete tree of `command` builds to: 15, 15, 9, 1, 7; -1 for an
// unknown command.
int ExpectedBuildResult(int command);

// The device's answer codes.
inline constexpr int kAnswerAccepted = 600;
inline constexpr int kAnswerBusyFirst = 601;
inline constexpr int kAnswerBusyLast = 603;
inline constexpr int kAnswerCreateAgain = 604;
constexpr bool IsBusyAnswer(int code) { return code >= kAnswerBusyFirst && code <= kAnswerBusyLast; }

// The monitors' own error codes of an exchange.
inline constexpr int kErrorNoCode = 900;
inline constexpr int kErrorCodeNotNumber = 901;
inline constexpr int kErrorNoServiceId = 902;
inline constexpr int kErrorServiceIdNotNumber = 903;
inline constexpr int kErrorNoJob = 1000;

// The command library's functions, bound by ordinal from "qtxnpxml.dll"
// (network) or "qtxupxml.dll" (printer port; the Mnet functions and
// McmdGetAnswer stay null there).
struct CommandLibrary {
  HMODULE module = nullptr;
  PFN_McmdCreateCommandObject CreateCommandObject = nullptr;
  PFN_McmdDeleteCommandObject DeleteCommandObject = nullptr;
  PFN_McmdClear Clear = nullptr;
  PFN_McmdAttachFile AttachFile = nullptr;
  PFN_McmdSetMode SetMode = nullptr;
  PFN_McmdAddParamString AddParamString = nullptr;
  PFN_McmdAddParamNumber AddParamNumber = nullptr;
  PFN_McmdAddParamHex AddParamHex = nullptr;
  PFN_McmdBeginElement BeginElement = nullptr;
  PFN_McmdEndElement EndElement = nullptr;
  PFN_McmdAddString AddString = nullptr;
  PFN_McmdAddNumber AddNumber = nullptr;
  PFN_McmdAddHex AddHex = nullptr;
  PFN_McmdGetAnswer GetAnswer = nullptr;
  PFN_McmdStringToNumber StringToNumber = nullptr;
  PFN_McmdHexToNumber HexToNumber = nullptr;
  // Network objects (qtxnpxml.dll only).
  HANDLE(WINAPI* MnetCreateNetworkObject)(LPCSTR) = nullptr;
  BOOL(WINAPI* MnetDeleteNetworkObject)(HANDLE) = nullptr;
  DWORD(WINAPI* MnetGetLastError)(HANDLE) = nullptr;
  BOOL(WINAPI* MnetPostFile)(HANDLE, LONG, LPCSTR, HANDLE) = nullptr;
};

// Loads "qtxnpxml.dll" and binds every function the network monitor uses;
// nothing (the library freed again) when the library or one function is
// missing.
std::optional<CommandLibrary> LoadNetworkCommandLibrary();
void FreeCommandLibrary(CommandLibrary& library);

// What the commands of one job say, and what the answers tell back.
struct CommandJob {
  std::int32_t devId = 0;  // of the job's first page
  std::int16_t bmpRotate = 0;
  pagestream::PageHeader header{};  // the page the command is about (turned size)
  std::string documentName;         // ANSI code page
  std::string computerName;         // ANSI code page
  std::string senderIp;             // dotted; sent on the network only
  std::uint32_t serviceId = 0;      // from the device's answer to CREATE
  // CREATE FAX: the job's TIFF file size in bytes, read once by the caller.
  std::uint32_t faxFileBytes = 0;
};

// Clears `hCmd`, sets mode 2, adds the fax parameters where they apply and
// builds the tree of `command` for page count `pages`. Answers the build
// result (the sections completed); a failing library call, or a coded
// header value without a keyword, ends the build early, so the result then
// differs from ExpectedBuildResult. 0 (ERROR_INVALID_PARAMETER) for an
// unknown command or port id, ADD with `pages` 0, or a library that lacks a
// function the build needs.
int SetCommandData(const CommandLibrary& library, HANDLE hCmd, const CommandJob& job, int command, int portId,
                   DWORD pages);

// The upload of a page or fax file: "serviceid" (8 hexadecimal digits, on
// the network only) and "pagenumber", and the file by its ANSI name. FALSE
// (ERROR_INVALID_PARAMETER) for page 0, an empty name or an unknown port id.
bool SetUploadData(const CommandLibrary& library, HANDLE hCmd, const CommandJob& job, int portId, DWORD pages,
                   const std::string& ansiFileName);

// The answer of the last post to `command`: its CODE (*error 0), or -1
// with *error set (900 to 903, or kErrorNoJob when `job` is null); `error`
// may be null. A negative CODE counts as no number (901). An accepted
// (600) CREATE or CREATE FAX on the network also reads SERVICEID into
// job->serviceId; other answers carry none.
int ParseResponse(const CommandLibrary& library, HANDLE hCmd, CommandJob* job, int command, int portId, int* error);

// "ANGLE" of a page: `Angle` corrected by a quarter turn for pages that
// the monitor turns (`BmpRotate` not 0), in the direction of the turn.
std::int16_t CorrectedAngle(std::int16_t angle, std::int16_t bmpRotate, std::int16_t paper);
// Whether a page with `bmpRotate` (not 0) on `paper` is turned right
// (clockwise); otherwise it is turned left.
bool TurnsRight(std::int16_t bmpRotate, std::int16_t paper);

// FILESIZE of CREATE FAX: kilobytes as the device counts them.
std::uint32_t FaxFileKilobytes(std::uint32_t bytes);

}  // namespace k460::command
