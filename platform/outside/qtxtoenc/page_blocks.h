// The caller's TIFF and MMR state blocks. A started block holds a signature
// and the address of its page; the library also keeps the addresses of the
// pages it started, so that a block that was never started, was freed
// already or is a stale copy of another is refused instead of followed.
#pragma once

#include <memory>

#include "platform/outside/qtxtoenc/g4_page.h"

namespace qtxtoenc {

inline constexpr DWORD kTiffBlockSignature = 0x46495454;  // "TTIF"
inline constexpr DWORD kFaxBlockSignature = 0x524D4D54;   // "TMMR"

// Puts a started page into the block (32 bytes at least), dropping a page
// that the block still held.
void AttachPage(void* block, DWORD signature, std::unique_ptr<G4Page> page);
// The block's page, or nullptr.
G4Page* FindPage(const void* block, DWORD signature);
// Takes the page out and clears the block; nullptr when it held none.
std::unique_ptr<G4Page> DetachPage(void* block, DWORD signature);

}  // namespace qtxtoenc
