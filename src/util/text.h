#pragma once
// Text operations on program text: code-page-936 (GBK) bytes in a std::string.
//
// A byte of 0x80 or above starts a two-byte character, so every search here steps over such
// pairs: a match never starts on the second byte of a character (the "|" or "\" that ends many
// GBK characters is not a separator). Positions count bytes from 1; -1 means "not found".
// Letter-case changes touch ASCII letters only.

#include <string>
#include <string_view>
#include <vector>

namespace mm {

// Raw bytes as they came from a file or the network. Same type as text on purpose: bytes are
// bytes, and the program decides where they are taken as code-page-936 text.
using Bytes = std::string;

// Byte length of the character that starts at text[pos]: 2 for a lead byte with a trail byte
// after it, else 1.
std::size_t CharLength(std::string_view text, std::size_t pos);

// 1-based position of the first occurrence of `what` found from `start` (1 when 0 or less),
// or -1. An empty `what` is never found.
int Find(std::string_view text, std::string_view what, int start = 1, bool ignoreCase = false);
bool Contains(std::string_view text, std::string_view what, bool ignoreCase = false);
bool StartsWith(std::string_view text, std::string_view prefix, bool ignoreCase = false);
bool EndsWith(std::string_view text, std::string_view suffix);

// Cuts at every separator: the piece before each separator is kept even when empty; the rest
// after the last separator only when not empty; an empty text gives no pieces.
std::vector<std::string> Split(std::string_view text, std::string_view separator);
std::string Join(const std::vector<std::string>& pieces, std::string_view separator);

// Every occurrence, left to right, without overlap.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to,
                       bool ignoreCase = false);

// Removes ASCII spaces and full-width spaces (A1 A1) at both ends; tabs, CR and LF stay.
std::string Trim(std::string_view text);

// Bytes before the first `delimiter` found from `start` (1 when 0 or less); empty when none.
std::string TextBefore(std::string_view text, std::string_view delimiter, int start = 1,
                       bool ignoreCase = false);
// Bytes after the last `separator`; empty when none. Exact comparison.
std::string TextAfterLast(std::string_view text, std::string_view separator);
// `leftMarker` from `start`, then `rightMarker` from the byte after it; the bytes between.
std::string TextBetween(std::string_view text, std::string_view leftMarker,
                        std::string_view rightMarker, int start = 1, bool ignoreCase = false);

// Leading blanks skipped, optional sign, decimal digits up to the first other character;
// full-width digits, signs and blanks count as ASCII. No digits give 0; values beyond the
// range of int are clamped.
int ToInteger(std::string_view text);

std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

}  // namespace mm
