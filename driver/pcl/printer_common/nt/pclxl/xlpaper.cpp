#include "driver/pcl/printer_common/nt/pclxl/xlpaper.h"

#include <algorithm>

namespace {

struct StandardPaper {
  int id;
  PaperRow row;
};

// The portrait rows of the driver's paper list, in list order.
constexpr StandardPaper kStandardPapers[kPaperListCount] = {
    {1, {216, 280, 4900, 6400, 5100, 6600, 100, 100}},    // Letter
    {257, {140, 216, 3100, 4900, 3300, 5100, 100, 100}},  // Half Letter
    {5, {216, 356, 4900, 8200, 5100, 8400, 100, 100}},    // Legal
    {4, {280, 432, 6400, 10000, 6600, 10200, 100, 100}},  // Ledger
    {8, {298, 420, 6814, 9720, 7014, 9920, 100, 100}},    // A3
    {9, {210, 297, 4760, 6814, 4960, 7014, 100, 100}},    // A4
    {11, {148, 210, 3296, 4760, 3496, 4960, 100, 100}},   // A5
    {70, {105, 148, 2280, 3296, 2480, 3496, 100, 100}},   // A6
    {12, {257, 364, 5870, 8400, 6070, 8600, 100, 100}},   // B4 (JIS)
    {13, {182, 257, 4100, 5870, 4300, 6070, 100, 100}},   // B5 (JIS)
    {60, {210, 330, 4760, 7596, 4960, 7796, 100, 100}},   // F4
    {7, {185, 267, 4150, 6100, 4350, 6300, 100, 100}},    // Executive
    {43, {100, 148, 2162, 3296, 2362, 3496, 100, 100}},   // Japanese postcard
    {69, {148, 200, 3296, 4524, 3496, 4724, 100, 100}},   // double Japanese postcard
    {27, {110, 220, 2398, 4996, 2598, 5196, 100, 100}},   // DL envelope
    {258, {105, 242, 2274, 5500, 2474, 5700, 100, 100}},  // Com-10 envelope
    {37, {98, 191, 2124, 4300, 2324, 4500, 100, 100}},    // Monarch envelope
    {259, {270, 390, 6176, 9012, 6376, 9212, 100, 100}},  // 8K
    {260, {195, 270, 4406, 6176, 4606, 6376, 100, 100}},  // 16K
    {74, {90, 205, 1924, 4642, 2124, 4842, 100, 100}},    // Chou-4 envelope
    {71, {240, 332, 5468, 7642, 5668, 7842, 100, 100}},   // Kaku-2 envelope
};

struct PaperName {
  int id;
  const char* pjlName;
  BYTE mediaSize;
};

constexpr PaperName kPaperNames[] = {
    {1, "LETTER", 0},   {4, "LEDGER", 4},      {5, "LEGAL", 1},       {7, "EXECUTIVE", 3}, {8, "A3", 5},
    {9, "A4", 2},       {11, "A5", 16},        {12, "JISB4", 10},     {13, "JISB5", 11},   {27, "DL", 9},
    {37, "MONARCH", 7}, {43, "JPOST", 14},     {60, "F4", 19},        {69, "JPOSTD", 15},  {70, "A6", 17},
    {71, "KAKU2", 24},  {74, "CHOU4", 23},     {257, "HALFLETTER", 20}, {258, "COM10", 6}, {259, "8K", 21},
    {260, "16K", 22},
};

const PaperName& NameOf(int paperId) {
  for (const PaperName& name : kPaperNames)
    if (name.id == paperId) return name;
  return kPaperNames[0];  // Letter
}

// Custom sizes beyond what a device mode can hold (32767 tenths) are taken
// as that; the arithmetic below then stays far inside 32 bits.
constexpr LONG kMaxTenths = 32767;

}  // namespace

int PaperListId(int index) { return index >= 0 && index < kPaperListCount ? kStandardPapers[index].id : 0; }

int FindPaperListIndex(int paperId) {
  for (int i = 0; i < kPaperListCount; ++i)
    if (kStandardPapers[i].id == paperId) return i;
  return -1;
}

PaperRow StandardPaperRow(int index) {
  return index >= 0 && index < kPaperListCount ? kStandardPapers[index].row : PaperRow{};
}

PaperRow CustomPaperRow(LONG widthTenths, LONG lengthTenths) {
  if (widthTenths <= 0 || lengthTenths <= 0) return {};
  widthTenths = std::min(widthTenths, kMaxTenths);
  lengthTenths = std::min(lengthTenths, kMaxTenths);
  PaperRow row{};
  row.widthMm = widthTenths / 10;
  row.heightMm = lengthTenths / 10;
  row.physicalWidth = widthTenths * 600 / 254;
  row.physicalHeight = lengthTenths * 600 / 254;
  row.printableWidth = row.physicalWidth - 2 * kPaperMargin;
  row.printableHeight = row.physicalHeight - 2 * kPaperMargin;
  row.leftMargin = kPaperMargin;
  row.topMargin = kPaperMargin;
  return IsUsablePaperRow(row) ? row : PaperRow{};
}

PaperRow TurnedPaperRow(const PaperRow& row) {
  return {row.heightMm,       row.widthMm,       row.printableHeight, row.printableWidth,
          row.physicalHeight, row.physicalWidth, row.leftMargin,      row.topMargin};
}

const char* PjlPaperName(int paperId) { return NameOf(paperId).pjlName; }

BYTE MediaSizeOf(int paperId) { return NameOf(paperId).mediaSize; }
