// Where something stands in a resource script, and the error that stops
// the compilation there.
#pragma once

#include <stdexcept>
#include <string>

namespace k460rc {

struct SourceLocation {
  std::string file;
  int line = 0;
  int column = 0;

  // "file:line:column", or the file alone when the place is not known.
  std::string Describe() const;
};

class CompileError : public std::runtime_error {
 public:
  CompileError(SourceLocation where, const std::string& message)
      : std::runtime_error(where.Describe() + ": error: " + message), where_(std::move(where)) {}
  const SourceLocation& where() const { return where_; }

 private:
  SourceLocation where_;
};

}  // namespace k460rc
