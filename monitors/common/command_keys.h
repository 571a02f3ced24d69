// The key table of the device commands: the element and parameter names by
// whose index both monitors name the elements of a command when they build
// it with the command library (McmdCreateCommandObject takes this table).
//
// Entries 0 to 55 are the element names, 57 to 62 the job state words and
// 64 to 68 the names of the fax parameters; an empty entry closes each group
// and a null pointer ends the table. Every name is sent letter for letter as
// written here ("RESPONCE", "ECNOMODE", "LMULTIPAGGEBORDER" included).
#pragma once

#include <string_view>

namespace k460::command {

enum CommandKey : int {
  KEY_JOB = 0,
  KEY_COMMAND = 1,
  KEY_TYPE = 2,
  KEY_PARAM = 3,
  KEY_PRINT = 4,
  KEY_JOBINFO = 5,
  KEY_JOBNAME = 6,
  KEY_OUTPUTPC = 7,
  KEY_SERVICEID = 8,
  KEY_PAGENUMBER = 9,
  KEY_IMAGEINFO = 10,
  KEY_IMAGEFORMAT = 11,
  KEY_ORIENTATION = 12,
  KEY_SETPAGESIZE = 13,
  KEY_XRESOLUTION = 14,
  KEY_YRESOLUTION = 15,
  KEY_XSIZE = 16,
  KEY_YSIZE = 17,
  KEY_OUTPUTINFO = 18,
  KEY_PAPERSOURCE = 19,
  KEY_OUTBIN = 20,
  KEY_PAPERTYPE = 21,
  KEY_ECNOMODE = 22,
  KEY_OUTPUTORDER = 23,
  KEY_STACK = 24,
  KEY_DUPLEX = 25,
  KEY_BINDING = 26,
  KEY_COPIES = 27,
  KEY_QTY = 28,
  KEY_LMULTIPAGEPRINT = 29,
  KEY_LMULTIPAGGEBORDER = 30,
  KEY_LMULTIPAGGEORDER = 31,
  KEY_LMULTIPAGEVIEW = 32,
  KEY_TIME = 33,
  KEY_RESPONCE = 34,
  KEY_CODE = 35,
  KEY_PRINTJOBID = 36,
  KEY_PAGES = 37,
  KEY_STATUS = 38,
  KEY_USERID = 39,
  KEY_PASSWORD = 40,
  KEY_FAX = 41,
  KEY_CONDITION = 42,
  KEY_FILESIZE = 43,
  KEY_DOCUMENTID = 44,
  KEY_CORD = 45,
  KEY_CODESIZE = 46,
  KEY_NUMBEROFLINE = 47,
  KEY_HORIZONTALSIZE = 48,
  KEY_STAPLE = 49,
  KEY_PUNCH = 50,
  KEY_SENDERIP = 51,
  KEY_STAPLEPOINT = 52,
  KEY_PUNCHHOLES = 53,
  KEY_ANGLE = 54,
  KEY_SECURITY = 55,
  KEY_READ = 57,
  KEY_UNREAD = 58,
  KEY_WAITING = 59,
  KEY_PROCEEDING = 60,
  KEY_FAILED = 61,
  KEY_COMPLETED = 62,
  KEY_FAXAUTO = 64,
  KEY_USERNO = 65,
  KEY_FAXPASSWORD = 66,
  KEY_ITEM = 67,
  KEY_TXDOC = 68,
};

// As McmdCreateCommandObject takes it: `const char* const*`, null-ended.
inline constexpr const char* kCommandKeyTable[] = {
    "JOB",         "COMMAND",        "TYPE",         "PARAM",          "PRINT",           "JOBINFO",
    "JOBNAME",     "OUTPUTPC",       "SERVICEID",    "PAGENUMBER",     "IMAGEINFO",       "IMAGEFORMAT",
    "ORIENTATION", "SETPAGESIZE",    "XRESOLUTION",  "YRESOLUTION",    "XSIZE",           "YSIZE",
    "OUTPUTINFO",  "PAPERSOURCE",    "OUTBIN",       "PAPERTYPE",      "ECNOMODE",        "OUTPUTORDER",
    "STACK",       "DUPLEX",         "BINDING",      "COPIES",         "QTY",             "LMULTIPAGEPRINT",
    "LMULTIPAGGEBORDER", "LMULTIPAGGEORDER", "LMULTIPAGEVIEW", "TIME", "RESPONCE",        "CODE",
    "PRINTJOBID",  "PAGES",          "STATUS",       "USERID",         "PASSWORD",        "FAX",
    "CONDITION",   "FILESIZE",       "DOCUMENTID",   "CORD",           "CODESIZE",        "NUMBEROFLINE",
    "HORIZONTALSIZE", "STAPLE",      "PUNCH",        "SENDERIP",       "STAPLEPOINT",     "PUNCHHOLES",
    "ANGLE",       "SECURITY",       "",
    "READ",        "UNREAD",         "WAITING",      "PROCEEDING",     "FAILED",          "COMPLETED",
    "",
    "faxauto",     "userno",         "password",     "item",           "txdoc",
    "",
    nullptr,
};
// Entries before the terminating null pointer.
inline constexpr int kCommandKeyCount = 70;
static_assert(sizeof(kCommandKeyTable) / sizeof(kCommandKeyTable[0]) == kCommandKeyCount + 1);

// The name of `key` ("" for a group separator or a key outside the table).
constexpr std::string_view CommandKeyName(int key) {
  return key >= 0 && key < kCommandKeyCount ? std::string_view(kCommandKeyTable[key]) : std::string_view();
}

static_assert(CommandKeyName(KEY_SECURITY) == "SECURITY" && CommandKeyName(56).empty() &&
              CommandKeyName(KEY_READ) == "READ" && CommandKeyName(KEY_COMPLETED) == "COMPLETED" &&
              CommandKeyName(63).empty() && CommandKeyName(KEY_FAXAUTO) == "faxauto" &&
              CommandKeyName(KEY_TXDOC) == "txdoc" && CommandKeyName(69).empty());
static_assert(CommandKeyName(KEY_RESPONCE) == "RESPONCE" && CommandKeyName(KEY_ECNOMODE) == "ECNOMODE" &&
              CommandKeyName(KEY_LMULTIPAGGEBORDER) == "LMULTIPAGGEBORDER" &&
              CommandKeyName(KEY_LMULTIPAGGEORDER) == "LMULTIPAGGEORDER" && CommandKeyName(KEY_ANGLE) == "ANGLE");
static_assert(CommandKeyName(KEY_XRESOLUTION) == "XRESOLUTION" && CommandKeyName(KEY_XSIZE) == "XSIZE" &&
              CommandKeyName(KEY_OUTPUTINFO) == "OUTPUTINFO" && CommandKeyName(KEY_COPIES) == "COPIES" &&
              CommandKeyName(KEY_QTY) == "QTY" && CommandKeyName(KEY_CODE) == "CODE" &&
              CommandKeyName(KEY_FILESIZE) == "FILESIZE" && CommandKeyName(KEY_SENDERIP) == "SENDERIP" &&
              CommandKeyName(KEY_PUNCHHOLES) == "PUNCHHOLES");

}  // namespace k460::command
