#include <string>

#include "platform/base/base.h"
#include "platform/base/text.h"

namespace k460 {

std::u16string Utf8ToUtf16(std::string_view in) {
  std::u16string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size();) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    char32_t cp;
    std::size_t len;
    if (c < 0x80) { cp = c; len = 1; }
    else if ((c >> 5) == 0x6) { cp = c & 0x1F; len = 2; }
    else if ((c >> 4) == 0xE) { cp = c & 0x0F; len = 3; }
    else if ((c >> 3) == 0x1E) { cp = c & 0x07; len = 4; }
    else { out.push_back(u'\uFFFD'); ++i; continue; }
    if (i + len > in.size()) { out.push_back(u'\uFFFD'); break; }
    bool ok = true;
    for (std::size_t k = 1; k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(in[i + k]);
      if ((cc >> 6) != 0x2) { ok = false; break; }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) { out.push_back(u'\uFFFD'); ++i; continue; }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view in) {
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    char32_t cp = in[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::u16string_view WideView(LPCWSTR s) { return s ? std::u16string_view(s) : std::u16string_view(); }

static char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

std::u16string AsciiUpper(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out) c = UpperAscii(c);
  return out;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(static_cast<unsigned char>(a[i])) != UpperAscii(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace k460

K460_API int lstrlenW(LPCWSTR s) { return s ? static_cast<int>(std::char_traits<char16_t>::length(s)) : 0; }
K460_API int lstrlenA(LPCSTR s) { return s ? static_cast<int>(std::char_traits<char>::length(s)) : 0; }

K460_API LPWSTR lstrcpyW(LPWSTR dst, LPCWSTR src) {
  if (!dst || !src) return nullptr;
  std::char_traits<char16_t>::copy(dst, src, std::char_traits<char16_t>::length(src) + 1);
  return dst;
}

// Copies at most iMaxLength - 1 characters and always terminates.
K460_API LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int iMaxLength) {
  if (!dst || !src || iMaxLength <= 0) return dst;
  int i = 0;
  for (; i < iMaxLength - 1 && src[i]; ++i) dst[i] = src[i];
  dst[i] = 0;
  return dst;
}

K460_API LPWSTR lstrcatW(LPWSTR dst, LPCWSTR src) {
  if (!dst || !src) return nullptr;
  lstrcpyW(dst + lstrlenW(dst), src);
  return dst;
}

K460_API int lstrcmpW(LPCWSTR a, LPCWSTR b) {
  auto va = k460::WideView(a), vb = k460::WideView(b);
  int r = va.compare(vb);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

K460_API int lstrcmpiW(LPCWSTR a, LPCWSTR b) {
  auto ua = k460::AsciiUpper(k460::WideView(a)), ub = k460::AsciiUpper(k460::WideView(b));
  int r = ua.compare(ub);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}
