// qtxweb: what the user-session program does, without a screen. Each thing
// it would show becomes a record of the machine's message log, answered by
// the message policy and, for the save dialog, by the program answer.
//
//   qtxweb /M"text" /C"caption"              a message box ("ProgramMessage")
//   qtxweb ADDRESS                           the browser on ADDRESS ("Browser")
//   qtxweb /S"file" /D"folder" /C"title"     the save dialog ("SaveDialog"):
//       the file is copied into the folder under its own name, or under the
//       name (or path) given as the program answer; an empty answer cancels
//   qtxweb                                   the resident program: nothing to show
#include <string>

#include "platform/base/text.h"
#include "platform/files/files.h"
#include "platform/process/message_log.h"
#include "platform/process/process_host.h"

namespace {

struct Arguments {
  std::u16string message, caption, save, folder, address;
  bool hasMessage = false, hasSave = false;
};

Arguments Parse(int argc, char** argv) {
  Arguments a;
  for (int i = 1; i < argc; ++i) {
    std::u16string arg = k460::Utf8ToUtf16(argv[i]);
    std::u16string option = arg.size() >= 2 && arg[0] == u'/' ? k460::AsciiUpper(arg.substr(0, 2)) : u"";
    std::u16string value = arg.size() >= 2 ? arg.substr(2) : u"";
    if (option == u"/M") {
      a.message = value;
      a.hasMessage = true;
    } else if (option == u"/C") {
      a.caption = value;
    } else if (option == u"/S") {
      a.save = value;
      a.hasSave = true;
    } else if (option == u"/D") {
      a.folder = value;
    } else if (option.empty()) {
      a.address = arg;
    }
  }
  return a;
}

int ShowMessage(const Arguments& a) {
  k460::ShownMessage shown;
  shown.kind = "ProgramMessage";
  shown.caption = a.caption;
  shown.text = a.message;
  shown.style = MB_OK;
  shown.answer = IDOK;
  const int choices[] = {IDOK};
  k460::LogShownMessage(std::move(shown), choices);
  return 0;
}

int OpenBrowser(const Arguments& a) {
  k460::ShownMessage shown;
  shown.kind = "Browser";
  shown.caption = u"qtxweb";
  shown.text = a.address;
  shown.details["address"] = a.address;
  shown.answer = IDOK;
  const int choices[] = {IDOK};
  k460::LogShownMessage(std::move(shown), choices);
  return 0;
}

std::u16string FileTitle(const std::u16string& path) {
  std::size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

int SaveFile(const Arguments& a) {
  std::u16string folder = a.folder;
  if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
  std::u16string target = folder + FileTitle(a.save);
  auto answer = k460::ProgramAnswer();
  if (answer && !answer->empty()) {
    std::u16string chosen = k460::Utf8ToUtf16(*answer);
    target = chosen.find_first_of(u"\\/") == std::u16string::npos ? folder + chosen : chosen;
  }
  k460::ShownMessage shown;
  shown.kind = "SaveDialog";
  shown.caption = a.caption;
  shown.text = target;
  shown.details["file"] = a.save;
  shown.details["folder"] = a.folder;
  shown.answer = answer && answer->empty() ? IDCANCEL : IDOK;
  const int choices[] = {IDOK, IDCANCEL};
  if (k460::LogShownMessage(std::move(shown), choices) != IDOK) return 0;
  // Saving under the file's own name leaves it where it is.
  if (k460::EqualsNoCase(target, a.save)) return 0;
  return CopyFileW(a.save.c_str(), target.c_str(), FALSE) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments a = Parse(argc, argv);
  if (a.hasMessage) return ShowMessage(a);
  if (a.hasSave) return SaveFile(a);
  if (!a.address.empty()) return OpenBrowser(a);
  return 0;
}
