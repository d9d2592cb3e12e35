#pragma once
// Cookie text: the caller owns its cookies as one text of "name=value" items joined by "; " and
// hands it to each request; the answer's Set-Cookie lines are collected into such a text and,
// when asked, merged into the caller's.

#include <string>
#include <string_view>

namespace mm {

// The first name=value of every line whose key is exactly "Set-Cookie" (followed by ": "),
// joined by "; ".
std::string CollectSetCookies(std::string_view headerBlock);

// The answer's cookies first, in its order, then the caller's cookies it did not name; items
// whose value is "deleted" are dropped. Also stores the result into `cookies`.
std::string MergeCookies(std::string& cookies, std::string_view returnedCookies);

// Keeps the first of byte-identical items.
std::string RemoveDuplicateItems(std::string_view text, std::string_view separator);

// Trimmed text before the first "=", or the whole trimmed item.
std::string CookieName(std::string_view item);

}  // namespace mm
