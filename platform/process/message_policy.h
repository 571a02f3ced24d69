// The step of logging a message that asks the answer policy (internal).
#pragma once

#include <span>

#include "platform/process/message_log.h"

namespace k460 {

// Sets message.answer (which holds the default on entry) and message.answeredBy.
void ChooseMessageAnswer(ShownMessage& message, std::span<const int> choices);

}  // namespace k460
