// The device's reading of an uploaded page: MMR (ITU-T T.6, Group 4) data
// decoded row by row, checked to hold exactly the announced number of rows
// of the announced width. The data comes from another machine: every code
// is checked, nothing is read beyond the data, and memory is a few rows.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace k460::device {

// Receives row y (0 first): (width + 7) / 8 bytes, leftmost pixel in the
// top bit, 0 black and 1 white, padding bits white. False stops decoding.
using RowSink = std::function<bool(const std::uint8_t* row, int y)>;

// "" when the data is `height` rows of `width` pixels, ending with the
// end-of-facsimile-block code (or with the data) and zero fill bits; else
// what is wrong, with the row where it went wrong.
std::string DecodeMmr(std::span<const std::uint8_t> data, int width, int height, const RowSink& sink);

}  // namespace k460::device
