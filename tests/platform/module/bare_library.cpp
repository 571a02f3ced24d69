// k460modbare: a library with one exported function and nothing else (no
// entry point, no ordinal table, no resources).
#include "platform/base/types.h"

K460_API int BareAnswer() { return 42; }
