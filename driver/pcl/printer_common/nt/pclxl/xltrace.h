// The driver's one trace routine. Entry points pass it fixed texts
// ("Entering DrvStartDoc\n", ...); the delivered driver discards them, so
// nothing is ever shown or written.
#pragma once

void XlTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
