#include "http/request_headers.h"

#include <vector>

#include "util/text.h"

namespace mm {

std::string CompleteDefaultHeaders(std::string_view headerText, std::string_view url,
                                   int methodIndex, HeaderVariant variant) {
  std::string text(headerText);
  auto lacks = [&](std::string_view key) { return !Contains(text, key, true); };
  if (variant == HeaderVariant::Inet && text.empty()) text = "Accept: */*";
  if (lacks("Accept:")) text += "\r\nAccept: */*";
  if (lacks("Referer:")) {
    text += "\r\nReferer: ";
    text += url;
  }
  if (lacks("Accept-Language:")) text += "\r\nAccept-Language: zh-cn";
  if (variant == HeaderVariant::Scripted && lacks("User-Agent:")) {
    text += "\r\nUser-Agent: ";
    text += kDefaultUserAgent;
  }
  if (methodIndex == 1 && lacks("Content-Type:")) {
    text += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  return text;
}

std::string CapitalizeFirst(std::string_view text) {
  std::string out(text);
  if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
  return out;
}

std::string NormalizeHeaderNames(std::string_view headerText) {
  std::vector<std::string> kept;
  for (const std::string& line : Split(headerText, "\r\n")) {
    int colon = Find(line, ":");
    if (colon < 0) continue;
    std::string name = line.substr(0, static_cast<std::size_t>(colon - 1));
    std::string rest = line.substr(static_cast<std::size_t>(colon - 1));
    std::string capitalised;
    std::size_t begin = 0;
    // Every word between dashes; empty words stay empty and every dash keeps its place.
    for (;;) {
      std::size_t dash = name.find('-', begin);
      capitalised += CapitalizeFirst(std::string_view(name).substr(begin, dash - begin));
      if (dash == std::string::npos) break;
      capitalised += '-';
      begin = dash + 1;
    }
    kept.push_back(capitalised + rest);
  }
  return Join(kept, "\r\n");
}

std::string HeaderName(std::string_view line) {
  int colon = Find(line, ":");
  if (colon < 0) return {};
  return Trim(line.substr(0, static_cast<std::size_t>(colon - 1)));
}

std::string HeaderValue(std::string_view line) {
  int colon = Find(line, ":");
  if (colon < 0) return {};
  return Trim(line.substr(static_cast<std::size_t>(colon)));
}

}  // namespace mm
