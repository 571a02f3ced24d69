// Building the device commands and uploads with the command library, and
// reading the device's answers.
#include "monitors/common/device_commands.h"

#include <cstring>
#include <limits>
#include <string_view>

#include "monitors/common/command_keys.h"
#include "monitors/common/page_codes.h"

namespace k460::command {
namespace {

using pagestream::CodedField;
using pagestream::PageHeader;

// Papers whose pages with `BmpRotate` 1 the monitor turns right.
constexpr std::int16_t kPaperA5 = 1;
constexpr std::int16_t kPaperB5 = 9;
constexpr std::int16_t kPaperHalfLetter = 12;
// `FaxItem` "tmp": the fax is kept on the device, so no transmission
// document list is asked for.
constexpr std::int16_t kFaxItemKeep = 4;

// Opens, fills and closes the elements of one tree. The first call that the
// library refuses (or a value that cannot be sent) stops the build: every
// later call is skipped, so the sections after it stay incomplete.
class TreeBuilder {
 public:
  TreeBuilder(const CommandLibrary& library, HANDLE hCmd) : library_(library), hCmd_(hCmd) {}

  bool ok() const { return ok_; }
  void Fail() { ok_ = false; }

  void Begin(int key) { ok_ = ok_ && library_.BeginElement(hCmd_, key); }
  void End() { ok_ = ok_ && library_.EndElement(hCmd_); }
  void String(int key, const std::string& text) { ok_ = ok_ && library_.AddString(hCmd_, key, text.c_str()); }
  void Number(int key, LONG value) { ok_ = ok_ && library_.AddNumber(hCmd_, key, value); }
  void ServiceId(std::uint32_t serviceId) { ok_ = ok_ && library_.AddHex(hCmd_, KEY_SERVICEID, serviceId, 8); }
  // The keyword of a coded field; a code without a keyword is never sent.
  void Keyword(int key, CodedField field, int code) {
    const auto keyword = pagestream::CodeKeyword(field, code);
    if (!keyword) {
      SetLastError(ERROR_INVALID_DATA);
      Fail();
      return;
    }
    String(key, std::string(*keyword));
  }

 private:
  const CommandLibrary& library_;
  HANDLE hCmd_;
  bool ok_ = true;
};

// A text field of the page header: up to its NUL or its end.
std::string FieldText(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

bool CanBuild(const CommandLibrary& l) {
  return l.Clear && l.SetMode && l.BeginElement && l.EndElement && l.AddString && l.AddNumber && l.AddHex;
}

const char* CommandName(int command) {
  switch (command) {
    case kCmdCreate: return "CREATE";
    case kCmdAdd: return "ADD";
    case kCmdEnd: return "END";
    case kCmdGetStatus: return "GETSTATUS";
    default: return "CREATE";  // CREATE FAX
  }
}

// The parameters of an automatic fax submission, in front of the tree.
bool AddFaxParameters(const CommandLibrary& l, HANDLE hCmd, const PageHeader& h) {
  if (!l.AddParamString) return false;
  if (h.FaxAuto == 0) return l.AddParamString(hCmd, "faxauto", "0");
  const auto item = pagestream::CodeKeyword(CodedField::FaxItem, h.FaxItem);
  if (!item) {
    SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  const std::string user = FieldText(h.FaxUserName, sizeof h.FaxUserName);
  const std::string password = FieldText(h.FaxPassword, sizeof h.FaxPassword);
  return l.AddParamString(hCmd, "faxauto", "1") && l.AddParamString(hCmd, "userno", user.c_str()) &&
         l.AddParamString(hCmd, "password", password.c_str()) &&
         l.AddParamString(hCmd, "item", std::string(*item).c_str()) &&
         (h.FaxItem == kFaxItemKeep || l.AddParamString(hCmd, "txdoc", h.FaxTxDocList != 0 ? "1" : "0"));
}

void AddImageInfo(TreeBuilder& tree, const CommandJob& job) {
  const PageHeader& h = job.header;
  tree.Begin(KEY_IMAGEINFO);
  tree.Keyword(KEY_IMAGEFORMAT, CodedField::Coding, h.Coding);
  tree.Keyword(KEY_ORIENTATION, CodedField::Orient, h.Orient);
  tree.Keyword(KEY_SETPAGESIZE, CodedField::Paper, h.Paper);
  tree.Number(KEY_XSIZE, h.Width);
  tree.Number(KEY_YSIZE, h.Height);
  tree.Number(KEY_XRESOLUTION, h.Resolution);
  tree.Number(KEY_YRESOLUTION, h.Resolution);
  // Computed from the header's own angle each time, so that building the
  // command again (after a busy answer) sends the same value.
  tree.Number(KEY_ANGLE, CorrectedAngle(h.Angle, job.bmpRotate, h.Paper));
  tree.End();
}

void AddOutputInfo(TreeBuilder& tree, const PageHeader& h) {
  tree.Begin(KEY_OUTPUTINFO);
  tree.Keyword(KEY_PAPERSOURCE, CodedField::Casset, h.Casset);
  tree.Keyword(KEY_OUTBIN, CodedField::Outbin, h.Outbin);
  tree.Keyword(KEY_PAPERTYPE, CodedField::PaperType, h.PaperType);
  tree.Keyword(KEY_ECNOMODE, CodedField::TonerSaving, h.TonerSaving);
  tree.Keyword(KEY_OUTPUTORDER, CodedField::OutputOder, h.OutputOder);
  tree.Keyword(KEY_STACK, CodedField::Stack, h.Stack);
  tree.Keyword(KEY_DUPLEX, CodedField::Duplex, h.Duplex);
  if (h.Duplex != 0) tree.Keyword(KEY_BINDING, CodedField::DuplexBinding, h.DuplexBinding);
  tree.Number(h.Collated != 0 ? KEY_QTY : KEY_COPIES, h.CopyNum);
  tree.Keyword(KEY_PUNCH, CodedField::Punch, h.Punch);
  if (h.Punch != 0) tree.Keyword(KEY_PUNCHHOLES, CodedField::PunchHoles, h.PunchHoles);
  tree.Keyword(KEY_STAPLE, CodedField::Staple, h.Staple);
  if (h.Staple != 0) tree.Keyword(KEY_STAPLEPOINT, CodedField::StaplePoint, h.StaplePoint);
  tree.End();
}

// GETSTATUS, CREATE, ADD and END.
int BuildPrintTree(TreeBuilder& tree, const CommandJob& job, int command, bool network, DWORD pages) {
  int built = 0;
  tree.Begin(KEY_JOB);
  tree.String(KEY_COMMAND, CommandName(command));
  tree.String(KEY_TYPE, "PRINT");
  tree.Begin(KEY_PARAM);
  tree.Begin(KEY_PRINT);
  tree.Begin(KEY_JOBINFO);
  if (command == kCmdGetStatus) {
    tree.ServiceId(job.serviceId);
    tree.End();
    tree.End();  // PRINT
    tree.End();  // PARAM
    tree.End();  // JOB
    return tree.ok() ? kBuiltJobInfo : 0;
  }
  if (command == kCmdCreate) {
    tree.String(KEY_JOBNAME, job.documentName);
    tree.String(KEY_OUTPUTPC, job.computerName);
  } else {
    if (network) tree.ServiceId(job.serviceId);
    // ADD announces the pages that went before it, END all of them.
    tree.Number(KEY_PAGENUMBER, static_cast<LONG>(command == kCmdAdd ? pages - 1 : pages));
  }
  if (network) tree.String(KEY_SENDERIP, job.senderIp);
  tree.End();
  if (tree.ok()) built |= kBuiltJobInfo;
  if (command != kCmdEnd) {
    AddImageInfo(tree, job);
    if (tree.ok()) built |= kBuiltImageInfo;
    AddOutputInfo(tree, job.header);
    if (tree.ok()) built |= kBuiltOutputInfo;
  }
  tree.End();  // PRINT
  tree.End();  // PARAM
  tree.End();  // JOB
  if (tree.ok()) built |= kBuiltPrint;
  return built;
}

int BuildCreateFaxTree(TreeBuilder& tree, const CommandJob& job, bool network) {
  int built = 0;
  tree.Begin(KEY_JOB);
  tree.String(KEY_COMMAND, "CREATE");
  tree.String(KEY_TYPE, "FAX/STRAGE");
  tree.Begin(KEY_PARAM);
  tree.Begin(KEY_FAX);
  tree.Begin(KEY_JOBINFO);
  tree.String(KEY_JOBNAME, job.documentName);
  tree.String(KEY_OUTPUTPC, job.computerName);
  if (network) tree.String(KEY_SENDERIP, job.senderIp);
  tree.End();
  if (tree.ok()) built |= kBuiltFaxJobInfo;
  tree.Begin(KEY_CONDITION);
  tree.Number(KEY_FILESIZE, static_cast<LONG>(FaxFileKilobytes(job.faxFileBytes)));
  tree.End();
  if (tree.ok()) built |= kBuiltFaxCondition;
  tree.End();  // FAX
  tree.End();  // PARAM
  tree.End();  // JOB
  if (tree.ok()) built |= kBuiltFax;
  return built;
}

// Counts are handed to the library as LONG.
constexpr DWORD kMaxCount = static_cast<DWORD>(std::numeric_limits<LONG>::max());

bool ValidPortId(int portId) { return portId == kPortIdPrinterPort || portId == kPortIdNetwork; }

// A page count that the command can announce: ADD names the page before
// `pages`, so it needs at least one.
bool ValidPages(int command, DWORD pages) {
  if (pages > kMaxCount) return false;
  return command != kCmdAdd || pages >= 1;
}

}  // namespace

int ExpectedBuildResult(int command) {
  switch (command) {
    case kCmdCreate:
    case kCmdAdd: return kBuiltJobInfo | kBuiltImageInfo | kBuiltOutputInfo | kBuiltPrint;
    case kCmdEnd: return kBuiltJobInfo | kBuiltPrint;
    case kCmdGetStatus: return kBuiltJobInfo;
    case kCmdCreateFax: return kBuiltFaxJobInfo | kBuiltFaxCondition | kBuiltFax;
    default: return -1;
  }
}

int SetCommandData(const CommandLibrary& library, HANDLE hCmd, const CommandJob& job, int command, int portId,
                   DWORD pages) {
  if (ExpectedBuildResult(command) < 0 || !ValidPortId(portId) || !ValidPages(command, pages) ||
      !CanBuild(library)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!library.Clear(hCmd) || !library.SetMode(hCmd, MCMD_MODE_JOB)) return 0;
  if (command == kCmdCreateFax && job.devId == pagestream::PI_DEVID_FAX2 &&
      !AddFaxParameters(library, hCmd, job.header)) {
    return 0;
  }
  const bool network = portId == kPortIdNetwork;
  TreeBuilder tree(library, hCmd);
  return command == kCmdCreateFax ? BuildCreateFaxTree(tree, job, network)
                                  : BuildPrintTree(tree, job, command, network, pages);
}

bool SetUploadData(const CommandLibrary& library, HANDLE hCmd, const CommandJob& job, int portId, DWORD pages,
                   const std::string& ansiFileName) {
  const bool network = portId == kPortIdNetwork;
  if (!ValidPortId(portId) || pages < 1 || pages > kMaxCount || ansiFileName.empty() ||
      ansiFileName.find('\0') != std::string::npos || !library.Clear || !library.AddParamNumber ||
      !library.AttachFile || (network && !library.AddParamHex)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return library.Clear(hCmd) && (!network || library.AddParamHex(hCmd, "serviceid", job.serviceId, 8)) &&
         library.AddParamNumber(hCmd, "pagenumber", static_cast<LONG>(pages)) &&
         library.AttachFile(hCmd, ansiFileName.c_str());
}

int ParseResponse(const CommandLibrary& library, HANDLE hCmd, CommandJob* job, int command, int portId, int* error) {
  auto failed = [error](int reason) {
    if (error) *error = reason;
    return -1;
  };
  if (!job) return failed(kErrorNoJob);
  LPCSTR codeText = library.GetAnswer ? library.GetAnswer(hCmd, KEY_CODE) : nullptr;
  if (!codeText) return failed(kErrorNoCode);
  LONG code = 0;
  // Answer codes are positive; a negative one could not be told from -1.
  if (!library.StringToNumber || !library.StringToNumber(codeText, &code) || code < 0) {
    return failed(kErrorCodeNotNumber);
  }
  // Only an accepted job has a service id: busy, create-again and refusal
  // answers carry none, and their code is what the sender acts on.
  if ((command == kCmdCreate || command == kCmdCreateFax) && portId == kPortIdNetwork && code == kAnswerAccepted) {
    LPCSTR idText = library.GetAnswer(hCmd, KEY_SERVICEID);
    if (!idText) return failed(kErrorNoServiceId);
    DWORD serviceId = 0;
    if (!library.HexToNumber || !library.HexToNumber(idText, &serviceId)) return failed(kErrorServiceIdNotNumber);
    job->serviceId = serviceId;
  }
  if (error) *error = 0;
  return static_cast<int>(code);
}

bool TurnsRight(std::int16_t bmpRotate, std::int16_t paper) {
  switch (bmpRotate) {
    case 1: return paper == kPaperA5 || paper == kPaperB5 || paper == kPaperHalfLetter;
    case 3: return true;
    default: return false;  // 2, 4 and more
  }
}

std::int16_t CorrectedAngle(std::int16_t angle, std::int16_t bmpRotate, std::int16_t paper) {
  if (bmpRotate == 0) return angle;
  int turned = (angle + (TurnsRight(bmpRotate, paper) ? 90 : -90)) % 360;
  if (turned < 0) turned += 360;
  return static_cast<std::int16_t>(turned);
}

std::uint32_t FaxFileKilobytes(std::uint32_t bytes) { return (bytes < 1000 ? 1000 : bytes) / 1000 + 1; }

}  // namespace k460::command
