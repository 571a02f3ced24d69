// The job values the device derives from its settings when it is enabled:
// pages per sheet and their placement order, the output paper, fitting and
// zoom, duplex, booklet and the n-up border.
#pragma once

#include <cstdint>

#include "driver/winnt/printer/src/common/host_settings.h"

namespace k460::hbgraph {

// Placement order codes: across from the upper left, down first, across from
// the upper right, down first from the upper right, and reversed (booklets
// bound on the left or at the top).
inline constexpr std::int32_t kOrderAcross = 1;
inline constexpr std::int32_t kOrderDown = 2;
inline constexpr std::int32_t kOrderAcrossFromRight = 3;
inline constexpr std::int32_t kOrderDownFromRight = 4;
inline constexpr std::int32_t kOrderReverse = 7;

inline constexpr std::int32_t kDefaultZoom = 1000;  // tenths of a percent

struct JobValues {
  std::int32_t pagesPerSheet = 1;
  std::int32_t placementOrder = kOrderAcross;
  std::int32_t outputPaper = 0;  // device code of the sheet's paper
  bool fit = true;               // scale the logical page into its place on the sheet
  std::int32_t zoom = kDefaultZoom;
  bool duplex = false;
  bool booklet = false;
  bool border = false;
  std::int32_t borderWidth = 0;  // pixels
  // A document that prints several pages per sheet: its sheets carry over
  // to a device that replaces this one in the middle of the document.
  bool nupContinuation = false;
};

// `pagePaper` is the device code of the logical page's paper.
JobValues DeriveJobValues(const hostsettings::HostSettings& settings, std::int32_t pagePaper, std::int32_t resolution);

// Pages per sheet of an `hsNup` code: 0 one, 1 two, 3 four, 5 eight, others one.
std::int32_t PagesPerSheetOf(std::int32_t nup);

}  // namespace k460::hbgraph
