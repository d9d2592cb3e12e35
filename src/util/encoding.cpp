#include "util/encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace mm {

namespace {

std::string_view UpToZeroByte(std::string_view bytes) {
  std::size_t zero = bytes.find('\0');
  return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

std::string_view UpToZeroUnit(std::string_view wide) {
  std::size_t units = wide.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    if (wide[2 * i] == '\0' && wide[2 * i + 1] == '\0') return wide.substr(0, 2 * i);
  }
  return wide.substr(0, units * 2);
}

void AppendUnit(Bytes& out, std::uint16_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

void AppendCodePoint(Bytes& out, std::uint32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    AppendUnit(out, static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
    AppendUnit(out, static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    AppendUnit(out, static_cast<std::uint16_t>(cp));
  }
}

// Length of the well-formed UTF-8 sequence at bytes[pos] (RFC 3629: no overlongs, no
// surrogates, nothing above U+10FFFF), or 0 when the bytes there are not one.
std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t pos, std::uint32_t& cp) {
  auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[pos + i]); };
  std::size_t left = bytes.size() - pos;
  unsigned char c = b(0);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  auto cont = [&](std::size_t i) { return i < left && (b(i) & 0xC0) == 0x80; };
  if (c >= 0xC2 && c <= 0xDF) {
    if (!cont(1)) return 0;
    cp = ((c & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    return 2;
  }
  if (c >= 0xE0 && c <= 0xEF) {
    if (!cont(1) || !cont(2)) return 0;
    if (c == 0xE0 && b(1) < 0xA0) return 0;   // overlong
    if (c == 0xED && b(1) >= 0xA0) return 0;  // surrogate
    cp = ((c & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    if (!cont(1) || !cont(2) || !cont(3)) return 0;
    if (c == 0xF0 && b(1) < 0x90) return 0;   // overlong
    if (c == 0xF4 && b(1) >= 0x90) return 0;  // above U+10FFFF
    cp = ((c & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) | (b(3) & 0x3Fu);
    return 4;
  }
  return 0;
}

// Bytes at bytes[pos] that begin a well-formed sequence but break off before its end (the
// "maximal subpart" of Unicode's recommended practice, at least 1). The platform converter turns
// each such piece, not each byte, into one U+FFFD, so "\xE6\x8A" before ASCII is one character.
std::size_t IllFormedLengthAt(std::string_view bytes, std::size_t pos) {
  auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[pos + i]); };
  std::size_t left = bytes.size() - pos;
  unsigned char c = b(0);
  std::size_t need = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    need = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    need = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    need = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 1;
  }
  std::size_t len = 1;
  if (len < left && b(len) >= low && b(len) <= high) {
    ++len;
    while (len < need && len < left && (b(len) & 0xC0) == 0x80) ++len;
  }
  return len;
}

Bytes Utf8ToWide(std::string_view bytes) {
  Bytes out;
  out.reserve(bytes.size() * 2 + 2);
  for (std::size_t pos = 0; pos < bytes.size();) {
    std::uint32_t cp = 0;
    std::size_t len = Utf8SequenceAt(bytes, pos, cp);
    if (len == 0) {
      AppendUnit(out, 0xFFFD);
      pos += IllFormedLengthAt(bytes, pos);
    } else {
      AppendCodePoint(out, cp);
      pos += len;
    }
  }
  return out;
}

#ifndef _WIN32

// A lead byte (0x81..0xFE) followed by a byte in the trail range (0x40..0xFE without 0x7F).
bool IsGbkPair(unsigned char lead, unsigned char trail) {
  return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

// One iconv descriptor per thread and direction; iconv_t is not safe to share between threads.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (Ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in`; where a character cannot be converted (or is not valid input) it writes
  // `replacement` and skips that one character: a UTF-16 unit or surrogate pair, a CP936 byte
  // or byte pair.
  std::string Convert(std::string_view in, std::string_view replacement, bool utf16Input) {
    std::string out;
    if (!Ok()) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      std::size_t dstLeft = out.size() - used;
      std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ or EINVAL: replace one unit of input and go on.
      std::size_t skip = 1;
      if (utf16Input) {
        skip = 2;
        if (srcLeft >= 4) {
          auto u = static_cast<std::uint16_t>(static_cast<unsigned char>(src[0]) |
                                              (static_cast<unsigned char>(src[1]) << 8));
          auto v = static_cast<std::uint16_t>(static_cast<unsigned char>(src[2]) |
                                              (static_cast<unsigned char>(src[3]) << 8));
          if (u >= 0xD800 && u <= 0xDBFF && v >= 0xDC00 && v <= 0xDFFF) skip = 4;
        }
      } else if (srcLeft >= 2 && IsGbkPair(static_cast<unsigned char>(src[0]),
                                           static_cast<unsigned char>(src[1]))) {
        // A lead and a trail byte that the table leaves unassigned: one unknown character of
        // two bytes. Anything else costs one byte, so the ASCII after a stray 0xFF or a lone
        // lead byte survives.
        skip = 2;
      }
      skip = std::min(skip, srcLeft);
      if (out.size() - used < replacement.size() + 16) out.resize(out.size() * 2 + 16);
      out.replace(used, replacement.size(), replacement);
      used += replacement.size();
      src += skip;
      srcLeft -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

Iconv& WideToGbk() {
  thread_local Iconv cd("CP936", "UTF-16LE");
  return cd;
}
Iconv& GbkToWide() {
  thread_local Iconv cd("UTF-16LE", "CP936");
  return cd;
}
Iconv& GbkToUtf8() {
  thread_local Iconv cd("UTF-8", "CP936");
  return cd;
}
Iconv& WideToUtf8() {
  thread_local Iconv cd("UTF-8", "UTF-16LE");
  return cd;
}

#endif

}  // namespace

Bytes MultiByteToWide(std::string_view bytes, CodePage codePage) {
  std::string_view in = UpToZeroByte(bytes);
  if (in.empty()) return {};
  Bytes out;
  if (codePage == CodePage::Utf8) {
    out = Utf8ToWide(in);
  } else {
#ifdef _WIN32
    int units = MultiByteToWideChar(936, 0, in.data(), static_cast<int>(in.size()), nullptr, 0);
    out.resize(static_cast<std::size_t>(units) * 2);
    MultiByteToWideChar(936, 0, in.data(), static_cast<int>(in.size()),
                        reinterpret_cast<wchar_t*>(out.data()), units);
#else
    out = GbkToWide().Convert(in, "\xFD\xFF", false);
#endif
  }
  out.append(2, '\0');
  return out;
}

Bytes WideToMultiByte(std::string_view wide, CodePage codePage) {
  std::string_view in = UpToZeroUnit(wide);
  if (in.empty()) return {};
#ifdef _WIN32
  UINT cp = static_cast<UINT>(codePage);
  const wchar_t* w = reinterpret_cast<const wchar_t*>(in.data());
  int units = static_cast<int>(in.size() / 2);
  int n = WideCharToMultiByte(cp, 0, w, units, nullptr, 0, nullptr, nullptr);
  Bytes out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(cp, 0, w, units, out.data(), n, nullptr, nullptr);
  return std::string(UpToZeroByte(out));
#else
  if (codePage == CodePage::Utf8) return WideToUtf8().Convert(in, "\xEF\xBF\xBD", true);
  return WideToGbk().Convert(in, "?", true);
#endif
}

std::string Utf8ToAnsi(std::string_view bytes) {
  return WideToMultiByte(MultiByteToWide(bytes, CodePage::Utf8), CodePage::Gbk);
}

std::string AnsiToUtf8(std::string_view text) {
#ifdef _WIN32
  return WideToMultiByte(MultiByteToWide(text, CodePage::Gbk), CodePage::Utf8);
#else
  return GbkToUtf8().Convert(text, "\xEF\xBF\xBD", false);
#endif
}

std::string Gbk(std::string_view utf8) { return Utf8ToAnsi(utf8); }

std::string CodePointToAnsi(std::uint32_t codePoint) {
  if (codePoint == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return "?";
  Bytes wide;
  AppendCodePoint(wide, codePoint);
  return WideToMultiByte(wide, CodePage::Gbk);
}

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    std::uint32_t cp = 0;
    std::size_t len = Utf8SequenceAt(bytes, pos, cp);
    if (len == 0) return false;
    pos += len;
  }
  return true;
}

}  // namespace mm
