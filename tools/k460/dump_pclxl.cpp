// `k460 dump` for PCL XL jobs: one line per PJL line and per operator with
// its attributes; embedded data shows as its length.
#include "tools/k460/dump_formats.h"
#include "tools/pclxl_reader/pclxl_reader.h"

namespace {

bool LooksLikePclXl(std::string_view head) {
  constexpr std::string_view kUel = "\x1B%-12345X";
  if (head.starts_with(") HP-PCL XL")) return true;
  if (!head.starts_with(kUel)) return false;
  // A PJL job that switches to PCL XL; PJL words may be in any case.
  std::string upper;
  for (char c : head) upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return upper.find("LANGUAGE=PCLXL") != std::string::npos || upper.find("LANGUAGE = PCLXL") != std::string::npos;
}

int DumpPclXl(const std::string& bytes, std::ostream& out, std::ostream& err) {
  using namespace k460::pclxl;
  Job job = ParseJob(bytes);
  for (const Item& item : job.items) out << FormatItem(item) << "\n";
  if (!job.error) return 0;
  err << "k460 dump: " << FormatError(*job.error) << "\n";
  return 1;
}

K460_DUMP_FORMAT("pclxl", LooksLikePclXl, DumpPclXl);

}  // namespace
