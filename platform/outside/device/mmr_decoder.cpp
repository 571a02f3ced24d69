#include "platform/outside/device/mmr_decoder.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace k460::device {
namespace {

struct Code {
  const char* bits;
  int value;
};

// Run-length codes of T.4 (shared by T.6): terminating codes 0 to 63, then
// make-up codes of multiples of 64.
constexpr Code kWhiteCodes[] = {
    {"00110101", 0},    {"000111", 1},      {"0111", 2},        {"1000", 3},        {"1011", 4},
    {"1100", 5},        {"1110", 6},        {"1111", 7},        {"10011", 8},       {"10100", 9},
    {"00111", 10},      {"01000", 11},      {"001000", 12},     {"000011", 13},     {"110100", 14},
    {"110101", 15},     {"101010", 16},     {"101011", 17},     {"0100111", 18},    {"0001100", 19},
    {"0001000", 20},    {"0010111", 21},    {"0000011", 22},    {"0000100", 23},    {"0101000", 24},
    {"0101011", 25},    {"0010011", 26},    {"0100100", 27},    {"0011000", 28},    {"00000010", 29},
    {"00000011", 30},   {"00011010", 31},   {"00011011", 32},   {"00010010", 33},   {"00010011", 34},
    {"00010100", 35},   {"00010101", 36},   {"00010110", 37},   {"00010111", 38},   {"00101000", 39},
    {"00101001", 40},   {"00101010", 41},   {"00101011", 42},   {"00101100", 43},   {"00101101", 44},
    {"00000100", 45},   {"00000101", 46},   {"00001010", 47},   {"00001011", 48},   {"01010010", 49},
    {"01010011", 50},   {"01010100", 51},   {"01010101", 52},   {"00100100", 53},   {"00100101", 54},
    {"01011000", 55},   {"01011001", 56},   {"01011010", 57},   {"01011011", 58},   {"01001010", 59},
    {"01001011", 60},   {"00110010", 61},   {"00110011", 62},   {"00110100", 63},   {"11011", 64},
    {"10010", 128},     {"010111", 192},    {"0110111", 256},   {"00110110", 320},  {"00110111", 384},
    {"01100100", 448},  {"01100101", 512},  {"01101000", 576},  {"01100111", 640},  {"011001100", 704},
    {"011001101", 768}, {"011010010", 832}, {"011010011", 896}, {"011010100", 960}, {"011010101", 1024},
    {"011010110", 1088}, {"011010111", 1152}, {"011011000", 1216}, {"011011001", 1280}, {"011011010", 1344},
    {"011011011", 1408}, {"010011000", 1472}, {"010011001", 1536}, {"010011010", 1600}, {"011000", 1664},
    {"010011011", 1728},
};

constexpr Code kBlackCodes[] = {
    {"0000110111", 0},    {"010", 1},           {"11", 2},            {"10", 3},            {"011", 4},
    {"0011", 5},          {"0010", 6},          {"00011", 7},         {"000101", 8},        {"000100", 9},
    {"0000100", 10},      {"0000101", 11},      {"0000111", 12},      {"00000100", 13},     {"00000111", 14},
    {"000011000", 15},    {"0000010111", 16},   {"0000011000", 17},   {"0000001000", 18},   {"00001100111", 19},
    {"00001101000", 20},  {"00001101100", 21},  {"00000110111", 22},  {"00000101000", 23},  {"00000010111", 24},
    {"00000011000", 25},  {"000011001010", 26}, {"000011001011", 27}, {"000011001100", 28}, {"000011001101", 29},
    {"000001101000", 30}, {"000001101001", 31}, {"000001101010", 32}, {"000001101011", 33}, {"000011010010", 34},
    {"000011010011", 35}, {"000011010100", 36}, {"000011010101", 37}, {"000011010110", 38}, {"000011010111", 39},
    {"000001101100", 40}, {"000001101101", 41}, {"000011011010", 42}, {"000011011011", 43}, {"000001010100", 44},
    {"000001010101", 45}, {"000001010110", 46}, {"000001010111", 47}, {"000001100100", 48}, {"000001100101", 49},
    {"000001010010", 50}, {"000001010011", 51}, {"000000100100", 52}, {"000000110111", 53}, {"000000111000", 54},
    {"000000100111", 55}, {"000000101000", 56}, {"000001011000", 57}, {"000001011001", 58}, {"000000101011", 59},
    {"000000101100", 60}, {"000001011010", 61}, {"000001100110", 62}, {"000001100111", 63}, {"0000001111", 64},
    {"000011001000", 128}, {"000011001001", 192}, {"000001011011", 256}, {"000000110011", 320},
    {"000000110100", 384}, {"000000110101", 448}, {"0000001101100", 512}, {"0000001101101", 576},
    {"0000001001010", 640}, {"0000001001011", 704}, {"0000001001100", 768}, {"0000001001101", 832},
    {"0000001110010", 896}, {"0000001110011", 960}, {"0000001110100", 1024}, {"0000001110101", 1088},
    {"0000001110110", 1152}, {"0000001110111", 1216}, {"0000001010010", 1280}, {"0000001010011", 1344},
    {"0000001010100", 1408}, {"0000001010101", 1472}, {"0000001011010", 1536}, {"0000001011011", 1600},
    {"0000001100100", 1664}, {"0000001100101", 1728},
};

// Make-up codes of both colours for runs of 1792 and more.
constexpr Code kExtendedCodes[] = {
    {"00000001000", 1792},  {"00000001100", 1856},  {"00000001101", 1920},  {"000000010010", 1984},
    {"000000010011", 2048}, {"000000010100", 2112}, {"000000010101", 2176}, {"000000010110", 2240},
    {"000000010111", 2304}, {"000000011100", 2368}, {"000000011101", 2432}, {"000000011110", 2496},
    {"000000011111", 2560},
};

enum Mode { kPass, kHorizontal, kV0, kVR1, kVR2, kVR3, kVL1, kVL2, kVL3, kEol };
constexpr Code kModeCodes[] = {
    {"0001", kPass}, {"001", kHorizontal}, {"1", kV0},         {"011", kVR1},          {"000011", kVR2},
    {"0000011", kVR3}, {"010", kVL1},      {"000010", kVL2},   {"0000010", kVL3},      {"000000000001", kEol},
};

// A binary tree of codes; a leaf holds the code's value.
class CodeTree {
 public:
  template <std::size_t... N>
  explicit CodeTree(const Code (&... tables)[N]) {
    nodes_.push_back({{-1, -1}, -1});
    (Add(tables), ...);
  }
  // The value of the code at the reader, or -1 for bits that are no code.
  template <class Reader>
  int Read(Reader& reader) const {
    int node = 0;
    for (;;) {
      node = nodes_[node].child[reader.Bit()];
      if (node < 0 || reader.overrun) return -1;
      if (nodes_[node].value >= 0) return nodes_[node].value;
    }
  }

 private:
  struct Node {
    std::array<int, 2> child;
    int value;
  };
  template <std::size_t N>
  void Add(const Code (&table)[N]) {
    for (const Code& code : table) {
      int node = 0;
      for (const char* bit = code.bits; *bit; ++bit) {
        // The codes are a prefix code: no code passes through another's leaf.
        if (nodes_[node].value >= 0) std::abort();
        const int branch = *bit - '0';
        if (nodes_[node].child[branch] < 0) {
          nodes_[node].child[branch] = static_cast<int>(nodes_.size());
          nodes_.push_back({{-1, -1}, -1});  // may move the nodes: no reference is held across it
        }
        node = nodes_[node].child[branch];
      }
      if (nodes_[node].value >= 0 || nodes_[node].child[0] >= 0 || nodes_[node].child[1] >= 0) std::abort();
      nodes_[node].value = code.value;
    }
  }
  std::vector<Node> nodes_;
};

const CodeTree& WhiteRuns() {
  static const CodeTree tree(kWhiteCodes, kExtendedCodes);
  return tree;
}
const CodeTree& BlackRuns() {
  static const CodeTree tree(kBlackCodes, kExtendedCodes);
  return tree;
}
const CodeTree& Modes() {
  static const CodeTree tree(kModeCodes);
  return tree;
}

class BitReader {
 public:
  explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}
  int Bit() {
    if (position_ >= data_.size() * 8) {
      overrun = true;
      return 0;
    }
    int bit = (data_[position_ / 8] >> (7 - position_ % 8)) & 1;
    ++position_;
    return bit;
  }
  std::size_t position() const { return position_; }
  void Seek(std::size_t position) { position_ = position; }
  bool AtEnd() const { return position_ >= data_.size() * 8; }
  // True when every bit from here on is 0.
  bool RestIsZero() {
    while (!AtEnd()) {
      if (Bit()) return false;
    }
    return true;
  }
  bool overrun = false;

 private:
  std::span<const std::uint8_t> data_;
  std::size_t position_ = 0;
};

// Reads one run of the colour: make-up codes, then a terminating code.
int ReadRun(BitReader& reader, bool black, int limit) {
  const CodeTree& tree = black ? BlackRuns() : WhiteRuns();
  int total = 0;
  for (;;) {
    int run = tree.Read(reader);
    if (run < 0) return -1;
    total += run;
    if (total > limit) return -1;
    if (run < 64) return total;
  }
}

// Adds a changing element; one at the position of the last cancels it (a
// run of length 0).
void Change(std::vector<int>& changes, int position) {
  if (!changes.empty() && changes.back() == position) {
    changes.pop_back();
  } else {
    changes.push_back(position);
  }
}

void Render(const std::vector<int>& changes, int width, std::vector<std::uint8_t>& row) {
  std::fill(row.begin(), row.end(), 0xFF);
  for (std::size_t i = 0; i < changes.size(); i += 2) {
    int from = std::min(changes[i], width);
    int to = i + 1 < changes.size() ? std::min(changes[i + 1], width) : width;
    for (int x = from; x < to;) {
      if (x % 8 == 0 && to - x >= 8) {
        row[static_cast<std::size_t>(x / 8)] = 0;
        x += 8;
      } else {
        row[static_cast<std::size_t>(x / 8)] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
        ++x;
      }
    }
  }
}

bool ReadEol(BitReader& reader) { return Modes().Read(reader) == kEol; }

std::string At(int y) { return " in row " + std::to_string(y + 1); }

}  // namespace

std::string DecodeMmr(std::span<const std::uint8_t> data, int width, int height, const RowSink& sink) {
  if (width < 1 || height < 1) return "the page has no pixels";
  BitReader reader(data);
  std::vector<int> reference, coding;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width + 7) / 8);
  auto withSentinels = [width](std::vector<int>& changes) {
    for (int i = 0; i < 3; ++i) changes.push_back(width);
  };
  withSentinels(reference);  // an imaginary white row above the page

  for (int y = 0; y < height; ++y) {
    coding.clear();
    int a0 = -1;
    bool black = false;
    std::size_t index = 0;  // first reference element right of a0
    while (a0 < width) {
      const bool rowStart = a0 < 0 && coding.empty();
      if (rowStart && reader.AtEnd()) {
        return "the data ends after " + std::to_string(y) + " rows; " + std::to_string(height) + " were announced";
      }
      int mode = Modes().Read(reader);
      if (reader.overrun) return "the data ends" + At(y);
      if (mode < 0) return "a bad mode code" + At(y);
      if (mode == kEol) {
        if (!rowStart) return "an end-of-line code" + At(y);
        if (!ReadEol(reader)) return "a bad end-of-facsimile-block code" + At(y);
        return "the page ends after " + std::to_string(y) + " rows; " + std::to_string(height) + " were announced";
      }
      while (reference[index] <= a0) ++index;
      std::size_t b1Index = index + ((index % 2 == 0) == black ? 1 : 0);
      const int b1 = reference[b1Index];
      const int b2 = reference[b1Index + 1];
      const int start = a0 < 0 ? 0 : a0;
      switch (mode) {
        case kPass:
          a0 = b2;
          break;
        case kHorizontal: {
          int first = ReadRun(reader, black, width - start);
          if (first < 0) return "a bad " + std::string(black ? "black" : "white") + " run" + At(y);
          int second = ReadRun(reader, !black, width - start - first);
          if (second < 0) return "a bad " + std::string(black ? "white" : "black") + " run" + At(y);
          Change(coding, start + first);
          Change(coding, start + first + second);
          a0 = start + first + second;
          break;
        }
        default: {
          static constexpr int kOffsets[] = {0, 0, 0, 1, 2, 3, -1, -2, -3};
          int a1 = b1 + kOffsets[mode];
          if (a1 > width || a1 < start || (a0 >= 0 && a1 == a0)) return "a vertical code beyond the row" + At(y);
          Change(coding, a1);
          black = !black;
          a0 = a1;
          break;
        }
      }
      if (a0 > width) return "a row longer than " + std::to_string(width) + " pixels" + At(y);
    }
    Render(coding, width, row);
    if (sink && !sink(row.data(), y)) return "the page could not be kept" + At(y);
    reference.swap(coding);
    withSentinels(reference);
  }
  // After the last row: nothing, zero fill bits, or the end-of-facsimile-block
  // code followed by zero fill bits.
  std::size_t end = reader.position();
  if (reader.RestIsZero()) return "";
  reader.Seek(end);
  reader.overrun = false;
  if (ReadEol(reader) && ReadEol(reader) && !reader.overrun && reader.RestIsZero()) return "";
  return "the data goes on after the " + std::to_string(height) + " announced rows";
}

}  // namespace k460::device
