// The process-wide state of xlgraph, written by DllEntryPoint and
// DrvEnableDriver before any device exists.
#pragma once

#include "platform/engine/engine.h"

struct XlDriverState {
  HMODULE hModule;                // this library
  BOOL bNewEngine;                // the engine reported version 0x30000 or higher
  FD_GLYPHSET* pDefaultGlyphSet;  // EngComputeGlyphSet(0, 0, 256), until DrvDisableDriver
};

XlDriverState& DriverState();

// DrvEnableDriver's table: 25 entries, in the order the engine is given them.
inline constexpr ULONG XL_DRIVER_FUNCTION_COUNT = 25;
inline constexpr ULONG XL_DRIVER_VERSION = 0x20000;
