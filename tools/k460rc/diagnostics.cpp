#include "tools/k460rc/diagnostics.h"

namespace k460rc {

std::string SourceLocation::Describe() const {
  if (line <= 0) return file;
  return file + ":" + std::to_string(line) + ":" + std::to_string(column);
}

}  // namespace k460rc
