// DrvEscape and DrvDrawEscape: the escapes an application may send.
#include <algorithm>
#include <cstring>

#include "driver/winnt/printer/src/km/driver_state.h"
#include "driver/winnt/printer/src/km/entry_points.h"

namespace k460::hbgraph {

namespace {

constexpr ULONG kEscapeFailed = 0xFFFFFFFF;  // -1
constexpr char kTechnology[] = "Raster";

}  // namespace

ULONG DrvEscape(SURFOBJ*, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut) {
  switch (iEsc) {
    case QUERYESCSUPPORT: {
      if (!pvIn || cjIn < sizeof(std::uint16_t)) return 0;
      std::uint8_t bytes[2];
      std::memcpy(bytes, pvIn, sizeof(bytes));
      const ULONG asked = bytes[0] | (ULONG{bytes[1]} << 8);
      return asked == QUERYESCSUPPORT || asked == SETCOPYCOUNT ? 1 : 0;
    }
    case GETTECHNOLOGY:
      if (!pvOut || cjOut <= 6) return 0;
      std::memcpy(pvOut, kTechnology, sizeof(kTechnology));
      return 1;
    case SETCOPYCOUNT: {
      if (!pvIn || cjIn < sizeof(std::uint32_t)) return kEscapeFailed;
      std::uint32_t count = 0;
      std::memcpy(&count, pvIn, sizeof(count));
      // The copies printed come from the device mode; the answer only says
      // what the driver would take.
      count = std::clamp<std::uint32_t>(count, 1, Profile().copyLimit);
      if (pvOut && cjOut >= sizeof(count)) std::memcpy(pvOut, &count, sizeof(count));
      return 0;
    }
    default:
      return 0;
  }
}

ULONG DrvDrawEscape(SURFOBJ*, ULONG, CLIPOBJ*, RECTL*, ULONG, PVOID) { return kEscapeFailed; }

}  // namespace k460::hbgraph
