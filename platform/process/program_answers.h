// The answer queue's side inside the process facility.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace k460::process {

inline constexpr char kProgramAnswerVariable[] = "K460_PROGRAM_ANSWER";

// The next answer queued for the program about to start, if any.
std::optional<std::string> TakeProgramAnswer(std::u16string_view program);

}  // namespace k460::process
