#pragma once
// Escaping program text for XML and HTML character data and attribute values (the SOAP
// bodies of the casting requests carry addresses and titles this way).

#include <string>
#include <string_view>

namespace mm {

// "&", "\"", "'", "<" and ">" become "&amp;", "&quot;", "&apos;", "&lt;" and "&gt;"; every
// other byte is copied unchanged. Two-byte characters are copied whole and never looked into.
// A lead byte followed by one of the five (which no GBK character has as its second byte) is a
// stray byte, and the special byte after it is escaped.
std::string HtmlEscape(std::string_view text);

}  // namespace mm
