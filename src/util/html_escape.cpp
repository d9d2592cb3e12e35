#include "util/html_escape.h"

namespace mm {

namespace {

// A real GBK character: a lead byte 0x81..0xFE and a trail byte 0x40..0xFE other than 0x7F.
// None of the five special bytes is in the trail range, so a lead byte before one of them is a
// stray byte, and the special byte after it is escaped all the same: leaving a "<" raw because
// of a broken byte before it would let text break out of the markup.
bool IsGbkCharacterAt(std::string_view text, std::size_t pos) {
  if (pos + 1 >= text.size()) return false;
  auto lead = static_cast<unsigned char>(text[pos]);
  auto trail = static_cast<unsigned char>(text[pos + 1]);
  return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t pos = 0; pos < text.size();) {
    if (IsGbkCharacterAt(text, pos)) {
      out.append(text.substr(pos, 2));
      pos += 2;
      continue;
    }
    switch (text[pos]) {
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out.push_back(text[pos]); break;
    }
    ++pos;
  }
  return out;
}

}  // namespace mm
