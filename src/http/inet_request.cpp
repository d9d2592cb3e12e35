#include "http/inet_request.h"

#include "http/abort_signal.h"
#include "http/cookie_jar.h"
#include "http/curl_transfer.h"
#include "http/http_request.h"
#include "http/request_headers.h"

namespace mm {

namespace {

// The authority part: after the first scheme marker up to the next "/", of the lower-cased URL.
std::string Authority(std::string_view url) {
  std::string text = AsciiLower(url);
  if (!EndsWith(text, "/")) text += "/";
  std::string marker = "https://";
  if (!StartsWith(text, "https://")) {
    if (!Contains(text, "http://")) text = "http://" + text;
    marker = "http://";
  }
  return TextBetween(text, marker, "/");
}

}  // namespace

std::string UrlHost(std::string_view url) {
  std::string authority = Authority(url);
  if (Contains(authority, ":")) return TextBefore(authority, ":");
  return authority;
}

int UrlPort(std::string_view url) {
  std::string authority = Authority(url);
  if (Contains(authority, ":")) return ToInteger(TextAfterLast(authority, ":"));
  return StartsWith(AsciiLower(url), "https") ? 443 : 80;
}

std::string UrlPath(std::string_view url) {
  std::string host = UrlHost(url);
  int at = host.empty() ? 1 : Find(url, host, 1, true);
  if (at < 1) at = 1;
  int slash = Find(url, "/", at);
  if (slash < 1) return "/";
  return std::string(url.substr(static_cast<std::size_t>(slash - 1)));
}

std::string ChooseUserAgent(std::string_view working) {
  if (!Contains(working, "User-Agent:", true)) return std::string(kDefaultUserAgent);
  std::string agent = Trim(TextBetween(std::string(working) + "\r\n", "User-Agent:", "\r\n"));
  if (agent.empty()) agent = HeaderValue(working);
  return agent;
}

Bytes InetRequest(const InetRequestParams& p) {
  std::string working = p.headers;
  if (p.normalizeHeaderNames) working = NormalizeHeaderNames(working);
  const std::string verb = MethodVerb(p.method);
  const bool secure = AsciiLower(std::string_view(p.url).substr(0, 8)) == "https://";

  TransferRequest request;
  request.verb = verb;
  request.userAgent = ChooseUserAgent(working);
  // The request goes to the host and port the URL names, with its path as written.
  int port = UrlPort(p.url);
  std::string host = UrlHost(p.url);
  request.url = EscapeUrlForWire((secure ? "https://" : "http://") + host +
                                 (port > 0 ? ":" + std::to_string(port) : std::string()) + UrlPath(p.url));
  request.followRedirects = !p.noRedirect;
  if (!p.proxy.empty()) request.proxy = p.proxy;  // "http=" in the platform's form: plain HTTP only
  // The platform routine's own defaults: 60 s to connect, 30 s for each send or receive wait.
  request.connectTimeoutMs = 60000;
  request.stallTimeoutS = 30;
  request.maxAnswerBytes = p.maxAnswerBytes;
  request.abort = p.abort;

  if (p.completeHeaders) working = CompleteDefaultHeaders(working, p.url, p.method, HeaderVariant::Inet);
  if (p.cookies && !p.cookies->empty()) {
    working += Contains(*p.cookies, "Cookie:") ? "\r\n" + *p.cookies : "\r\nCookie: " + *p.cookies;
  }
  for (const std::string& line : Split(working, "\r\n")) {
    if (line.empty() || !Contains(line, ":")) continue;
    // The user agent travels on its own (curl sends it as the User-Agent line).
    if (AsciiLower(HeaderName(line)) == "user-agent") continue;
    request.headerLines.push_back(HeaderName(line) + ": " + HeaderValue(line));
  }
  if (p.method != 0) {
    request.sendBody = true;
    request.body = !p.bodyBytes.empty() ? p.bodyBytes : p.body;
  }

  TransferResult result = RunTransfer(request);

  std::string block;
  if (result.answered) {
    block = result.statusLine + "\r\n";
    for (const std::string& line : result.headerLines) block += line + "\r\n";
    block += "\r\n";
  }
  if (!result.answered || block.size() >= kRawHeaderBufferSize) block.assign(kRawHeaderBufferSize, ' ');
  if (p.returnedHeaders) *p.returnedHeaders = block;
  std::string collected = CollectSetCookies(block);
  if (p.mergeCookies && p.cookies) collected = MergeCookies(*p.cookies, collected);
  if (p.returnedCookies) *p.returnedCookies = collected;
  return result.body;
}

}  // namespace mm
