// Reading whole files and recognising documents by their first bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace k460::print {

enum class FileKind { PageScript, Png, Pnm, Pdf };

// PDF ("%PDF-" within the first 1024 bytes, as readers allow leading junk),
// PNG (its 8-byte signature), PNM ("P1" to "P6" and a blank); anything else
// is taken for a page script.
FileKind SniffFileKind(std::span<const std::uint8_t> head);

// The largest page script or image file read into memory.
inline constexpr std::size_t kMaxFileBytes = std::size_t{512} << 20;

// The whole file; DocumentError "NAME: cannot read: REASON" when it cannot
// be read, or when it is larger than kMaxFileBytes.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

}  // namespace k460::print
