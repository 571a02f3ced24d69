// Reading the device's answer: an XML document, from another machine and so
// untrusted, flattened into its elements in document order.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/outside/command/command_object.h"

namespace k460::cmdlib {

inline constexpr std::size_t kMaxAnswerBytes = 1u << 20;
inline constexpr std::size_t kMaxAnswerDepth = 32;
inline constexpr std::size_t kMaxAnswerElements = 10000;

// "" with the elements (texts in the ANSI code page), or why the bytes are
// no answer: not XML, no root element, beyond the limits above.
std::string ParseAnswer(std::string_view bytes, std::vector<AnswerElement>* elements);

}  // namespace k460::cmdlib
