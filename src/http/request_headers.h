#pragma once
// The request-header text rules both HTTP clients share. A header text is lines separated by
// "\r\n"; a line is a name, a colon and a value.

#include <string>
#include <string_view>

namespace mm {

// The scripted client sends each line on its own and adds its user agent as a line; the
// WinINet-style client passes the whole text at once and its user agent separately.
enum class HeaderVariant { Scripted, Inet };

// Appends the default lines the caller left out. Each test looks for the key anywhere in the
// text as extended so far, ignoring letter case, so a key inside another line counts too.
std::string CompleteDefaultHeaders(std::string_view headerText, std::string_view url,
                                   int methodIndex, HeaderVariant variant);

// Drops lines without a colon and raises the first letter of every "-"-separated word of each
// name; never lowers a letter and leaves everything from the first colon on as it is.
std::string NormalizeHeaderNames(std::string_view headerText);

std::string CapitalizeFirst(std::string_view text);
// Trimmed text before / after the first colon; empty for a line without one.
std::string HeaderName(std::string_view line);
std::string HeaderValue(std::string_view line);

// The user agent both clients fall back on.
inline constexpr std::string_view kDefaultUserAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

}  // namespace mm
