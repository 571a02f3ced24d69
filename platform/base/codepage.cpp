// Code pages 1252 and 932 as lookup tables built once from the C library's
// converters, and UTF-8. Tables make every conversion a lookup, safe to run
// from any thread.
#include <iconv.h>

#include <array>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/base.h"
#include "platform/base/text.h"

namespace {

constexpr char16_t kNoChar = 0xFFFF;

// One code page: bytes (one or two) to UTF-16 and back.
struct CodePageTable {
  std::array<char16_t, 256> single{};         // single-byte codes
  std::array<bool, 256> lead{};               // lead bytes of double-byte codes
  std::vector<char16_t> dbcs;                 // [lead * 256 + trail]
  std::vector<std::uint16_t> fromUnicode;     // code for each UTF-16 unit; 0xFFFF none
};

char16_t ConvertOne(iconv_t cd, const unsigned char* bytes, std::size_t n) {
  char in[2];
  std::memcpy(in, bytes, n);
  char out[8];
  char* pin = in;
  char* pout = out;
  std::size_t inLeft = n, outLeft = sizeof(out);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &pin, &inLeft, &pout, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
      sizeof(out) - outLeft != 2)
    return kNoChar;
  return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
}

void AddReverse(CodePageTable& t, char16_t wc, std::uint16_t code) {
  if (wc != kNoChar && t.fromUnicode[wc] == 0xFFFF) t.fromUnicode[wc] = code;
}

CodePageTable Build(const char* name, bool doubleByte) {
  CodePageTable t;
  t.single.fill(kNoChar);
  t.fromUnicode.assign(0x10000, 0xFFFF);
  iconv_t cd = iconv_open("UTF-16LE", name);
  if (cd == reinterpret_cast<iconv_t>(-1)) return t;
  for (int b = 0; b < 256; ++b) {
    if (doubleByte && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC))) {
      t.lead[b] = true;
      continue;
    }
    unsigned char byte = static_cast<unsigned char>(b);
    t.single[b] = ConvertOne(cd, &byte, 1);
    // The control range and a few gaps are passed through as the system does.
    if (t.single[b] == kNoChar && (b < 0x80 || !doubleByte)) t.single[b] = static_cast<char16_t>(b);
    if (doubleByte && t.single[b] == kNoChar && b == 0x80) t.single[b] = 0x0080;
    AddReverse(t, t.single[b], static_cast<std::uint16_t>(b));
  }
  if (doubleByte) {
    t.dbcs.assign(0x10000, kNoChar);
    for (int lead = 0; lead < 256; ++lead) {
      if (!t.lead[lead]) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        unsigned char pair[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
        char16_t wc = ConvertOne(cd, pair, 2);
        t.dbcs[lead * 256 + trail] = wc;
        AddReverse(t, wc, static_cast<std::uint16_t>(lead * 256 + trail));
      }
    }
  }
  iconv_close(cd);
  return t;
}

const CodePageTable* TableFor(UINT cp) {
  static std::once_flag once1252, once932;
  static CodePageTable t1252, t932;
  if (cp == 1252) {
    std::call_once(once1252, [] { t1252 = Build("CP1252", false); });
    return &t1252;
  }
  if (cp == 932) {
    std::call_once(once932, [] { t932 = Build("CP932", true); });
    return &t932;
  }
  return nullptr;
}

UINT Resolve(UINT cp) {
  if (cp == CP_ACP || cp == CP_THREAD_ACP) return GetACP();
  if (cp == CP_OEMCP) return GetOEMCP();
  return cp;
}

// Writes `units` to the caller's buffer by the system's counting rules.
template <class Unit>
int Deliver(const std::basic_string<Unit>& units, Unit* out, int outSize) {
  if (outSize == 0) return static_cast<int>(units.size());
  if (static_cast<std::size_t>(outSize) < units.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(units.begin(), units.end(), out);
  return static_cast<int>(units.size());
}

}  // namespace

K460_API int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR in, int inSize, LPWSTR out, int outSize) {
  if (!in || inSize == 0 || inSize < -1 || outSize < 0 || (outSize > 0 && !out)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const UINT cp = Resolve(CodePage);
  std::size_t n = inSize == -1 ? std::strlen(in) + 1 : static_cast<std::size_t>(inSize);
  const auto* bytes = reinterpret_cast<const unsigned char*>(in);
  std::u16string result;
  bool invalid = false;
  if (cp == CP_UTF8) {
    result = k460::Utf8ToUtf16(std::string_view(in, n));
    invalid = result.find(u'\uFFFD') != std::u16string::npos &&
              std::string_view(in, n).find("\xEF\xBF\xBD") == std::string_view::npos;
  } else {
    const CodePageTable* t = TableFor(cp);
    if (!t) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    result.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
      unsigned char b = bytes[i];
      if (t->lead[b]) {
        if (i + 1 < n && bytes[i + 1] != 0) {
          char16_t wc = t->dbcs[b * 256 + bytes[i + 1]];
          if (wc == kNoChar) { invalid = true; wc = 0x30FB; }  // the system's default for 932
          result.push_back(wc);
          ++i;
        } else {
          invalid = true;
          result.push_back(u'?');
        }
      } else {
        char16_t wc = t->single[b];
        if (wc == kNoChar) { invalid = true; wc = u'?'; }
        result.push_back(wc);
      }
    }
  }
  if (invalid && (dwFlags & MB_ERR_INVALID_CHARS)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  return Deliver(result, out, outSize);
}

K460_API int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR in, int inSize, LPSTR out, int outSize,
                                 LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar) {
  if (!in || inSize == 0 || inSize < -1 || outSize < 0 || (outSize > 0 && !out)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  (void)dwFlags;  // best-fit mapping is never used: unmappable is unmappable
  const UINT cp = Resolve(CodePage);
  std::size_t n = inSize == -1 ? std::char_traits<char16_t>::length(in) + 1 : static_cast<std::size_t>(inSize);
  std::u16string_view text(in, n);
  std::string result;
  if (cp == CP_UTF8) {
    if (lpDefaultChar || lpUsedDefaultChar) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    result = k460::Utf16ToUtf8(text);
    return Deliver(result, out, outSize);
  }
  const CodePageTable* t = TableFor(cp);
  if (!t) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string defaultChar = lpDefaultChar ? std::string(lpDefaultChar, lpDefaultChar[0] && t->lead[static_cast<unsigned char>(lpDefaultChar[0])] ? 2 : 1) : std::string("?");
  bool usedDefault = false;
  result.reserve(n * 2);
  for (char16_t wc : text) {
    std::uint16_t code = t->fromUnicode[wc];
    if (code == 0xFFFF) {
      usedDefault = true;
      result += defaultChar;
    } else if (code > 0xFF) {
      result.push_back(static_cast<char>(code >> 8));
      result.push_back(static_cast<char>(code & 0xFF));
    } else {
      result.push_back(static_cast<char>(code));
    }
  }
  if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
  return Deliver(result, out, outSize);
}

K460_API BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar) {
  const CodePageTable* t = TableFor(Resolve(CodePage));
  if (!t) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return t->lead[TestChar] ? TRUE : FALSE;
}
