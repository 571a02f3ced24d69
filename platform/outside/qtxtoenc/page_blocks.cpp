#include "platform/outside/qtxtoenc/page_blocks.h"

#include <cstring>
#include <mutex>
#include <unordered_set>

namespace qtxtoenc {

namespace {

struct BlockView {
  DWORD signature;
  DWORD reserved;
  G4Page* page;
};
static_assert(sizeof(BlockView) <= sizeof(TIFFENCODESTATE) && sizeof(BlockView) <= sizeof(FAXENCODESTATE));

std::mutex gLock;
std::unordered_set<G4Page*>& LivePages() {
  static std::unordered_set<G4Page*> pages;
  return pages;
}

BlockView Read(const void* block) {
  BlockView view;
  std::memcpy(&view, block, sizeof view);
  return view;
}

}  // namespace

void AttachPage(void* block, DWORD signature, std::unique_ptr<G4Page> page) {
  DetachPage(block, signature);
  BlockView view{signature, 0, page.get()};
  {
    std::lock_guard<std::mutex> lock(gLock);
    LivePages().insert(page.release());
  }
  std::memcpy(block, &view, sizeof view);
}

G4Page* FindPage(const void* block, DWORD signature) {
  BlockView view = Read(block);
  if (view.signature != signature) return nullptr;
  std::lock_guard<std::mutex> lock(gLock);
  return LivePages().count(view.page) ? view.page : nullptr;
}

std::unique_ptr<G4Page> DetachPage(void* block, DWORD signature) {
  BlockView view = Read(block);
  if (view.signature != signature) return nullptr;
  std::memset(block, 0, sizeof view);
  std::lock_guard<std::mutex> lock(gLock);
  if (LivePages().erase(view.page) == 0) return nullptr;
  return std::unique_ptr<G4Page>(view.page);
}

}  // namespace qtxtoenc
