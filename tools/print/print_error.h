// The two kinds of failure of the print host's front half. Both carry a
// complete message meant for the person printing, e.g.
// "letter.k460:12: unknown command 'rectnagle'" or
// "unknown option 'colour'; valid options: booklet, collate, ...".
// `k460 print` maps DocumentError to its bad-input exit code and OptionError
// to its usage exit code.
#pragma once

#include <stdexcept>
#include <string>

namespace k460::print {

// A document that cannot be read: names the file and the line or page.
class DocumentError : public std::runtime_error {
 public:
  explicit DocumentError(const std::string& message) : std::runtime_error(message) {}
};

// An option, option value or field assignment that is not valid.
class OptionError : public std::runtime_error {
 public:
  explicit OptionError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace k460::print
