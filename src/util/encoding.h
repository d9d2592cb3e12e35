#pragma once
// Conversion between code page 936 (program text), UTF-8 (the network, libraries, file names on
// Linux) and UTF-16 (the platform's wide form).
//
// The rules are those of the platform conversion the program was built around: an invalid
// UTF-8 sequence (a stray byte, or the well-formed start of a sequence that breaks off) becomes
// one U+FFFD, every character code page 936 lacks (U+FFFD and the byte-order mark included)
// becomes "?", and input ends at its first zero byte (zero unit for wide text).

#include <cstdint>
#include <string>
#include <string_view>

#include "util/text.h"

namespace mm {

enum class CodePage { Utf8 = 65001, Gbk = 936 };

// Wide text: UTF-16LE code units in a byte string, two bytes a unit, ending with one zero unit
// when produced here. Empty input gives empty output.
Bytes MultiByteToWide(std::string_view bytes, CodePage codePage);
// The bytes up to the first zero byte of the result; no terminator.
Bytes WideToMultiByte(std::string_view wide, CodePage codePage);

// UTF-8 bytes to program text: WideToMultiByte(MultiByteToWide(bytes, Utf8), Gbk).
std::string Utf8ToAnsi(std::string_view bytes);
// Program text to UTF-8, for libraries that need it (JSON, PCRE2, Qt). Bytes that are not valid
// code page 936 become U+FFFD.
std::string AnsiToUtf8(std::string_view text);

// A UTF-8 literal in the source as program text: Gbk("青柚") is the code-page-936 bytes of the
// same characters. The sources are UTF-8; the program's text is not.
std::string Gbk(std::string_view utf8);

// One Unicode code point as program text; a code point code page 936 lacks (and anything that
// is no character: zero, a surrogate, beyond U+10FFFF) gives "?".
std::string CodePointToAnsi(std::uint32_t codePoint);

// Strict check: the whole input is well-formed UTF-8 (no overlongs, no surrogates).
bool IsValidUtf8(std::string_view bytes);

}  // namespace mm
