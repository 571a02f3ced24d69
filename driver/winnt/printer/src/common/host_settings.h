// `HostSettings`, the 464-byte settings record of the host-based and fax
// drivers: the printer's default document settings and installed options
// (stored as the printer data "PrinterData") and the working copy of a
// property sheet. Its bytes 40 to 463, the blocks A to G, are the same 424
// bytes in the same order as bytes 248 to 671 of the job's `HostDevMode`.
//
// The structures are the in-memory form; stored bytes are produced and read
// only by the Store/Load functions, field by field and little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

#include "driver/winnt/printer/src/common/record_bytes.h"

namespace k460::hostsettings {

inline constexpr std::size_t kHostSettingsSize = 464;
inline constexpr std::size_t kHostBlocksOffset = 40;  // in HostSettings
inline constexpr std::size_t kHostBlocksSize = 424;
inline constexpr std::size_t kFaxPasswordBytes = 32;
inline constexpr std::int32_t kGraphicsBlockSize = 48;

// The seven blocks, each a run of `HostSettings` bytes (offsets of the record).
struct BlockRange {
  std::size_t offset;
  std::size_t size;
};
inline constexpr BlockRange kPageBlock{40, 72};        // A: page and output
inline constexpr BlockRange kLayoutBlock{112, 80};     // B: layout
inline constexpr BlockRange kQualityBlock{192, 32};    // C: quality
inline constexpr BlockRange kOptionsBlock{224, 64};    // D: installed options
inline constexpr BlockRange kFinishingBlock{288, 64};  // E: finishing
inline constexpr BlockRange kFaxBlock{352, 64};        // F: automatic fax submission
inline constexpr BlockRange kGraphicsBlock{416, 48};   // G: graphics, carries its own size

struct HostBlocks {
  // A, page and output.
  std::int32_t hsCopiesUi;
  std::int32_t hsSort;
  std::int32_t hsPaper;  // device code of the page paper as edited
  std::int32_t hsCustomPaperCount;
  std::uint32_t hsRuntime56;  // run-time reference of a component; never read from storage
  std::uint8_t reserved60[4];
  std::int32_t hsSource;
  std::int32_t hsOutbin;
  std::int32_t hsPaperType;
  std::int32_t hsOrientation;  // 1 portrait, 2 landscape, as edited
  std::int32_t hsShift;
  std::int32_t hsOutputOrder;
  std::int32_t hsZoomToPaper;
  std::int32_t hsZoomPaper;
  std::int32_t hsFitToPaper;
  std::int32_t hsZoom;  // tenths of a percent
  std::int32_t hsFromPaint;
  std::int32_t hsSkipBlankPages;
  // B, layout.
  std::int32_t hsNup;
  std::uint8_t reserved116[4];
  std::int32_t hsNupOrder;
  std::uint8_t reserved124[4];
  std::int32_t hsNupBorder;
  std::uint8_t reserved132[12];
  std::int32_t hsReserved144;  // carried
  std::int32_t hsBooklet;
  std::int32_t hsBookletBinding;
  std::int32_t hsDuplex;
  std::int32_t hsDuplexBinding;
  std::int32_t hsMarginUnit;  // 0 tenths of a millimetre, 1 hundredths of an inch
  std::int32_t hsMarginFront;
  std::int32_t hsMarginBack;
  std::uint8_t reserved176[16];
  // C, quality.
  std::int32_t hsTonerSave;
  std::int32_t hsDensity;
  std::uint8_t reserved200[4];
  std::int32_t hsResolutionChoice;
  std::uint8_t reserved208[16];
  // D, installed options.
  std::int32_t hsAutoConfig;
  std::int32_t hsManualTray;
  std::int32_t hsCassette2;
  std::int32_t hsCassette3;
  std::int32_t hsCassette4;
  std::int32_t hsCassette5;
  std::int32_t hsFeedCabinet;
  std::int32_t hsDuplexUnit;
  std::int32_t hsOption256;
  std::int32_t hsTwoBinTray;
  std::int32_t hsFinisher;
  std::int32_t hsPunchKit;
  std::int32_t hsMemoryMb;
  std::uint8_t reserved276[12];
  // E, finishing.
  std::int32_t hsStaple;
  std::int32_t hsStaplePosition;
  std::int32_t hsStapleMarginUnit;
  std::uint8_t reserved300[8];
  std::int32_t hsStapleMarginFront;
  std::int32_t hsStapleMarginBack;
  std::uint8_t reserved316[4];
  std::int32_t hsPunch;
  std::int32_t hsPunchPosition;
  std::int32_t hsPunchMarginUnit;
  std::uint8_t reserved332[8];
  std::int32_t hsPunchMarginFront;
  std::int32_t hsPunchMarginBack;
  std::uint8_t reserved348[4];
  // F, automatic fax submission.
  std::int32_t hsFaxUserKey;
  std::uint8_t reserved356[4];
  char hsFaxPassword[kFaxPasswordBytes];  // ANSI, NUL-terminated
  std::uint8_t reserved392[12];
  std::int32_t hsFaxAuto;
  std::int32_t hsFaxItem;
  std::int32_t hsFaxTxDocList;
  // G, graphics.
  std::int32_t hsGraphicsSize;
  std::int32_t hsGraphicEnhance;
  std::int32_t hsStackRotate;
  std::int32_t hsTransparent;
  std::int32_t hsEnhanceRop;
  std::int16_t hsReduction;
  std::int16_t hsReductionThreshold;
  std::uint8_t reserved440[24];

  bool operator==(const HostBlocks&) const = default;
};

struct HostSettings {
  std::int32_t hsPaperIndex;  // position in the paper table
  std::int32_t hsSourceIndex;
  std::int32_t hsLandscape;
  std::int32_t hsCopies;
  std::int32_t hsCollate;
  std::int32_t hsResolutionIndex;
  std::int32_t hsPriorityIndex;
  std::int32_t hsReserved28;
  std::int32_t hsReverseOrder;
  std::uint8_t reserved36[4];
  HostBlocks blocks;

  bool operator==(const HostSettings&) const = default;
};

// Field visitors: f(offset, field) in stored order. Offsets of `HostBlocks`
// fields are relative to the start of the blocks.
template <class Rec>
concept HostBlocksRecord = std::is_same_v<std::remove_const_t<Rec>, HostBlocks>;
template <class Rec>
concept HostSettingsRecord = std::is_same_v<std::remove_const_t<Rec>, HostSettings>;

template <HostBlocksRecord Rec, class F>
constexpr void ForEachField(Rec& r, F&& f) {
#define K460_BLOCK_FIELD(name) f(offsetof(HostBlocks, name), r.name)
  K460_BLOCK_FIELD(hsCopiesUi);
  K460_BLOCK_FIELD(hsSort);
  K460_BLOCK_FIELD(hsPaper);
  K460_BLOCK_FIELD(hsCustomPaperCount);
  K460_BLOCK_FIELD(hsRuntime56);
  K460_BLOCK_FIELD(reserved60);
  K460_BLOCK_FIELD(hsSource);
  K460_BLOCK_FIELD(hsOutbin);
  K460_BLOCK_FIELD(hsPaperType);
  K460_BLOCK_FIELD(hsOrientation);
  K460_BLOCK_FIELD(hsShift);
  K460_BLOCK_FIELD(hsOutputOrder);
  K460_BLOCK_FIELD(hsZoomToPaper);
  K460_BLOCK_FIELD(hsZoomPaper);
  K460_BLOCK_FIELD(hsFitToPaper);
  K460_BLOCK_FIELD(hsZoom);
  K460_BLOCK_FIELD(hsFromPaint);
  K460_BLOCK_FIELD(hsSkipBlankPages);
  K460_BLOCK_FIELD(hsNup);
  K460_BLOCK_FIELD(reserved116);
  K460_BLOCK_FIELD(hsNupOrder);
  K460_BLOCK_FIELD(reserved124);
  K460_BLOCK_FIELD(hsNupBorder);
  K460_BLOCK_FIELD(reserved132);
  K460_BLOCK_FIELD(hsReserved144);
  K460_BLOCK_FIELD(hsBooklet);
  K460_BLOCK_FIELD(hsBookletBinding);
  K460_BLOCK_FIELD(hsDuplex);
  K460_BLOCK_FIELD(hsDuplexBinding);
  K460_BLOCK_FIELD(hsMarginUnit);
  K460_BLOCK_FIELD(hsMarginFront);
  K460_BLOCK_FIELD(hsMarginBack);
  K460_BLOCK_FIELD(reserved176);
  K460_BLOCK_FIELD(hsTonerSave);
  K460_BLOCK_FIELD(hsDensity);
  K460_BLOCK_FIELD(reserved200);
  K460_BLOCK_FIELD(hsResolutionChoice);
  K460_BLOCK_FIELD(reserved208);
  K460_BLOCK_FIELD(hsAutoConfig);
  K460_BLOCK_FIELD(hsManualTray);
  K460_BLOCK_FIELD(hsCassette2);
  K460_BLOCK_FIELD(hsCassette3);
  K460_BLOCK_FIELD(hsCassette4);
  K460_BLOCK_FIELD(hsCassette5);
  K460_BLOCK_FIELD(hsFeedCabinet);
  K460_BLOCK_FIELD(hsDuplexUnit);
  K460_BLOCK_FIELD(hsOption256);
  K460_BLOCK_FIELD(hsTwoBinTray);
  K460_BLOCK_FIELD(hsFinisher);
  K460_BLOCK_FIELD(hsPunchKit);
  K460_BLOCK_FIELD(hsMemoryMb);
  K460_BLOCK_FIELD(reserved276);
  K460_BLOCK_FIELD(hsStaple);
  K460_BLOCK_FIELD(hsStaplePosition);
  K460_BLOCK_FIELD(hsStapleMarginUnit);
  K460_BLOCK_FIELD(reserved300);
  K460_BLOCK_FIELD(hsStapleMarginFront);
  K460_BLOCK_FIELD(hsStapleMarginBack);
  K460_BLOCK_FIELD(reserved316);
  K460_BLOCK_FIELD(hsPunch);
  K460_BLOCK_FIELD(hsPunchPosition);
  K460_BLOCK_FIELD(hsPunchMarginUnit);
  K460_BLOCK_FIELD(reserved332);
  K460_BLOCK_FIELD(hsPunchMarginFront);
  K460_BLOCK_FIELD(hsPunchMarginBack);
  K460_BLOCK_FIELD(reserved348);
  K460_BLOCK_FIELD(hsFaxUserKey);
  K460_BLOCK_FIELD(reserved356);
  K460_BLOCK_FIELD(hsFaxPassword);
  K460_BLOCK_FIELD(reserved392);
  K460_BLOCK_FIELD(hsFaxAuto);
  K460_BLOCK_FIELD(hsFaxItem);
  K460_BLOCK_FIELD(hsFaxTxDocList);
  K460_BLOCK_FIELD(hsGraphicsSize);
  K460_BLOCK_FIELD(hsGraphicEnhance);
  K460_BLOCK_FIELD(hsStackRotate);
  K460_BLOCK_FIELD(hsTransparent);
  K460_BLOCK_FIELD(hsEnhanceRop);
  K460_BLOCK_FIELD(hsReduction);
  K460_BLOCK_FIELD(hsReductionThreshold);
  K460_BLOCK_FIELD(reserved440);
#undef K460_BLOCK_FIELD
}

template <HostSettingsRecord Rec, class F>
constexpr void ForEachField(Rec& r, F&& f) {
  f(offsetof(HostSettings, hsPaperIndex), r.hsPaperIndex);
  f(offsetof(HostSettings, hsSourceIndex), r.hsSourceIndex);
  f(offsetof(HostSettings, hsLandscape), r.hsLandscape);
  f(offsetof(HostSettings, hsCopies), r.hsCopies);
  f(offsetof(HostSettings, hsCollate), r.hsCollate);
  f(offsetof(HostSettings, hsResolutionIndex), r.hsResolutionIndex);
  f(offsetof(HostSettings, hsPriorityIndex), r.hsPriorityIndex);
  f(offsetof(HostSettings, hsReserved28), r.hsReserved28);
  f(offsetof(HostSettings, hsReverseOrder), r.hsReverseOrder);
  f(offsetof(HostSettings, reserved36), r.reserved36);
  ForEachField(r.blocks, [&](std::size_t offset, auto& field) { f(kHostBlocksOffset + offset, field); });
}

static_assert(std::is_standard_layout_v<HostBlocks> && sizeof(HostBlocks) == kHostBlocksSize);
static_assert(std::is_standard_layout_v<HostSettings> && sizeof(HostSettings) == kHostSettingsSize);
static_assert(offsetof(HostSettings, blocks) == kHostBlocksOffset);
static_assert(FieldsCoverRecord<HostBlocks>(kHostBlocksSize));
static_assert(FieldsCoverRecord<HostSettings>(kHostSettingsSize));

static_assert(offsetof(HostSettings, hsPaperIndex) == 0 && offsetof(HostSettings, hsSourceIndex) == 4 &&
              offsetof(HostSettings, hsLandscape) == 8 && offsetof(HostSettings, hsCopies) == 12 &&
              offsetof(HostSettings, hsCollate) == 16 && offsetof(HostSettings, hsResolutionIndex) == 20 &&
              offsetof(HostSettings, hsPriorityIndex) == 24 && offsetof(HostSettings, hsReserved28) == 28 &&
              offsetof(HostSettings, hsReverseOrder) == 32 && offsetof(HostSettings, reserved36) == 36);

// Offsets of the block fields in `HostSettings`.
#define K460_BLOCK_AT(name, at) static_assert(kHostBlocksOffset + offsetof(HostBlocks, name) == (at), #name)
K460_BLOCK_AT(hsCopiesUi, 40);
K460_BLOCK_AT(hsSort, 44);
K460_BLOCK_AT(hsPaper, 48);
K460_BLOCK_AT(hsCustomPaperCount, 52);
K460_BLOCK_AT(hsRuntime56, 56);
K460_BLOCK_AT(hsSource, 64);
K460_BLOCK_AT(hsOutbin, 68);
K460_BLOCK_AT(hsPaperType, 72);
K460_BLOCK_AT(hsOrientation, 76);
K460_BLOCK_AT(hsShift, 80);
K460_BLOCK_AT(hsOutputOrder, 84);
K460_BLOCK_AT(hsZoomToPaper, 88);
K460_BLOCK_AT(hsZoomPaper, 92);
K460_BLOCK_AT(hsFitToPaper, 96);
K460_BLOCK_AT(hsZoom, 100);
K460_BLOCK_AT(hsFromPaint, 104);
K460_BLOCK_AT(hsSkipBlankPages, 108);
K460_BLOCK_AT(hsNup, 112);
K460_BLOCK_AT(hsNupOrder, 120);
K460_BLOCK_AT(hsNupBorder, 128);
K460_BLOCK_AT(hsReserved144, 144);
K460_BLOCK_AT(hsBooklet, 148);
K460_BLOCK_AT(hsBookletBinding, 152);
K460_BLOCK_AT(hsDuplex, 156);
K460_BLOCK_AT(hsDuplexBinding, 160);
K460_BLOCK_AT(hsMarginUnit, 164);
K460_BLOCK_AT(hsMarginFront, 168);
K460_BLOCK_AT(hsMarginBack, 172);
K460_BLOCK_AT(hsTonerSave, 192);
K460_BLOCK_AT(hsDensity, 196);
K460_BLOCK_AT(hsResolutionChoice, 204);
K460_BLOCK_AT(hsAutoConfig, 224);
K460_BLOCK_AT(hsManualTray, 228);
K460_BLOCK_AT(hsCassette2, 232);
K460_BLOCK_AT(hsCassette3, 236);
K460_BLOCK_AT(hsCassette4, 240);
K460_BLOCK_AT(hsCassette5, 244);
K460_BLOCK_AT(hsFeedCabinet, 248);
K460_BLOCK_AT(hsDuplexUnit, 252);
K460_BLOCK_AT(hsOption256, 256);
K460_BLOCK_AT(hsTwoBinTray, 260);
K460_BLOCK_AT(hsFinisher, 264);
K460_BLOCK_AT(hsPunchKit, 268);
K460_BLOCK_AT(hsMemoryMb, 272);
K460_BLOCK_AT(hsStaple, 288);
K460_BLOCK_AT(hsStaplePosition, 292);
K460_BLOCK_AT(hsStapleMarginUnit, 296);
K460_BLOCK_AT(hsStapleMarginFront, 308);
K460_BLOCK_AT(hsStapleMarginBack, 312);
K460_BLOCK_AT(hsPunch, 320);
K460_BLOCK_AT(hsPunchPosition, 324);
K460_BLOCK_AT(hsPunchMarginUnit, 328);
K460_BLOCK_AT(hsPunchMarginFront, 340);
K460_BLOCK_AT(hsPunchMarginBack, 344);
K460_BLOCK_AT(hsFaxUserKey, 352);
K460_BLOCK_AT(hsFaxPassword, 360);
K460_BLOCK_AT(hsFaxAuto, 404);
K460_BLOCK_AT(hsFaxItem, 408);
K460_BLOCK_AT(hsFaxTxDocList, 412);
K460_BLOCK_AT(hsGraphicsSize, 416);
K460_BLOCK_AT(hsGraphicEnhance, 420);
K460_BLOCK_AT(hsStackRotate, 424);
K460_BLOCK_AT(hsTransparent, 428);
K460_BLOCK_AT(hsEnhanceRop, 432);
K460_BLOCK_AT(hsReduction, 436);
K460_BLOCK_AT(hsReductionThreshold, 438);
K460_BLOCK_AT(reserved440, 440);
#undef K460_BLOCK_AT

// Bytes <-> records. Loading ignores the stored `hsRuntime56` (it reads as 0)
// and storing writes it as 0: a run-time reference means nothing elsewhere.
void StoreHostSettings(const HostSettings& settings, std::span<std::uint8_t, kHostSettingsSize> out);
HostSettings LoadHostSettings(std::span<const std::uint8_t, kHostSettingsSize> in);
void StoreHostBlocks(const HostBlocks& blocks, std::span<std::uint8_t, kHostBlocksSize> out);
HostBlocks LoadHostBlocks(std::span<const std::uint8_t, kHostBlocksSize> in);

}  // namespace k460::hostsettings
