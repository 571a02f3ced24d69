#include "driver/winnt/printer/src/common/block_copy.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace k460::hostsettings {
namespace {

using BlockBytes = std::array<std::uint8_t, kHostBlocksSize>;

BlockBytes BytesOf(const HostBlocks& blocks) {
  BlockBytes bytes{};
  StoreHostBlocks(blocks, bytes);
  return bytes;
}

void CopyBytes(const BlockBytes& from, BlockBytes& to, std::size_t offset, std::size_t size) {
  const std::size_t at = offset - kHostBlocksOffset;
  std::memcpy(to.data() + at, from.data() + at, size);
}

}  // namespace

void CopyBlockRange(const HostBlocks& from, HostBlocks& to, BlockRange range) {
  const BlockBytes source = BytesOf(from);
  BlockBytes target = BytesOf(to);
  CopyBytes(source, target, range.offset, range.size);
  to = LoadHostBlocks(target);
}

void ClearBlockRange(HostBlocks& blocks, BlockRange range) {
  BlockBytes bytes = BytesOf(blocks);
  std::memset(bytes.data() + (range.offset - kHostBlocksOffset), 0, range.size);
  blocks = LoadHostBlocks(bytes);
}

void CopyBlocks(const HostBlocks& from, HostBlocks& to, HostVariant variant) {
  const BlockBytes source = BytesOf(from);
  BlockBytes target = BytesOf(to);
  for (BlockRange range : {kPageBlock, kLayoutBlock, kQualityBlock, kOptionsBlock, kFinishingBlock, kFaxBlock}) {
    if (variant == HostVariant::kFax && range.offset == kFinishingBlock.offset) continue;
    CopyBytes(source, target, range.offset, range.size);
  }
  const auto graphicsBytes =
      static_cast<std::size_t>(std::clamp<std::int32_t>(from.hsGraphicsSize, 0, kGraphicsBlockSize));
  CopyBytes(source, target, kGraphicsBlock.offset, graphicsBytes);
  to = LoadHostBlocks(target);
  to.hsGraphicsSize = kGraphicsBlockSize;
}

}  // namespace k460::hostsettings
