#include "driver/pcl/printer_common/nt/pclxl/xlcodes.h"

#include <array>
#include <initializer_list>

namespace {

struct CodeRange {
  BYTE first;
  BYTE last;
};

using CodeTable = std::array<bool, 256>;

constexpr CodeTable MakeTable(std::initializer_list<CodeRange> ranges) {
  CodeTable table{};
  for (const CodeRange& r : ranges) {
    for (int code = r.first; code <= r.last; ++code) table[code] = true;
  }
  return table;
}

constexpr CodeTable kOperators = MakeTable({{0x41, 0x44}, {0x46, 0x4C}, {0x4F, 0x56}, {0x5B, 0x82}, {0x84, 0x86},
                                            {0x91, 0x91}, {0x93, 0x93}, {0x95, 0x99}, {0x9B, 0x9B}, {0x9D, 0xA3},
                                            {0xA8, 0xAA}, {0xB0, 0xB6}, {0xB8, 0xB9}, {0xBF, 0xBF}});

constexpr CodeTable kAttributes = MakeTable({{0x01, 0x1C}, {0x21, 0x2D}, {0x2F, 0x36}, {0x41, 0x54}, {0x61, 0x69},
                                             {0x6B, 0x73}, {0x81, 0x82}, {0x86, 0x86}, {0x88, 0x8C}, {0x8F, 0x8F},
                                             {0x91, 0xAD}, {0xAF, 0xB1}});

constexpr int Count(const CodeTable& table) {
  int n = 0;
  for (bool accepted : table) n += accepted;
  return n;
}
static_assert(Count(kOperators) == 90);
static_assert(Count(kAttributes) == 128);

}  // namespace

bool XlIsAcceptedOperator(DWORD code) { return code < kOperators.size() && kOperators[code]; }

bool XlIsAcceptedAttribute(DWORD number) { return number < kAttributes.size() && kAttributes[number]; }
