#pragma once
// The DLNA side's HTTP client, shaped after the WinINet request routine the program was built
// on: it splits the URL itself, picks the user agent from the caller's header lines, sends the
// whole header text at once, and hands back the raw header block of the answer.

#include <cstddef>
#include <string>

#include "util/text.h"

namespace mm {

class AbortSignal;

struct InetRequestParams {
  std::string url;                         // program text; also the default Referer
  int method = 0;                          // as HttpRequest; index 0 sends no body
  std::string body;
  std::string* cookies = nullptr;          // in/out
  std::string* returnedCookies = nullptr;  // out
  std::string headers;                     // may carry the user agent
  std::string* returnedHeaders = nullptr;  // out: raw block, or 5000 blanks without an answer
  bool noRedirect = false;
  Bytes bodyBytes;
  std::string proxy;
  bool mergeCookies = true;
  bool completeHeaders = true;
  bool normalizeHeaderNames = true;
  const AbortSignal* abort = nullptr;
  std::size_t maxAnswerBytes = std::size_t{64} << 20;
};

Bytes InetRequest(const InetRequestParams& params);

// The pieces of a URL the request is made from: the host in lower case (a URL without a scheme
// is plain HTTP), the port (the one written, else 443 for https and 80 otherwise; a port that
// is not a number gives 0, which means the default port), and the path with its query.
std::string UrlHost(std::string_view url);
int UrlPort(std::string_view url);
std::string UrlPath(std::string_view url);

// The user agent the request announces: the caller's User-Agent line, else the default.
std::string ChooseUserAgent(std::string_view workingHeaders);

// The header block size the platform routine could hold; a block that does not fit, or no
// answer at all, leaves this many blanks.
inline constexpr std::size_t kRawHeaderBufferSize = 5000;

}  // namespace mm
