#include "http/http_request.h"

#include "http/abort_signal.h"
#include "http/cookie_jar.h"
#include "http/curl_transfer.h"
#include "http/request_headers.h"

namespace mm {

HttpSession::HttpSession() : curl_(std::make_unique<CurlSession>()) {}
HttpSession::~HttpSession() = default;

std::string MethodVerb(int method) {
  static const char* const verbs[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  if (method < 0 || method > 7) method = 0;
  return verbs[method];
}

std::string Base64Encode(std::string_view bytes) {
  static const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                 (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
    out += alphabet[(v >> 18) & 63];
    out += alphabet[(v >> 12) & 63];
    out += alphabet[(v >> 6) & 63];
    out += alphabet[v & 63];
  }
  if (i + 1 == bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    out += alphabet[(v >> 18) & 63];
    out += alphabet[(v >> 12) & 63];
    out += "==";
  } else if (i + 2 == bytes.size()) {
    unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    out += alphabet[(v >> 18) & 63];
    out += alphabet[(v >> 12) & 63];
    out += alphabet[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

Bytes HttpRequest(const HttpRequestParams& p) {
  TransferRequest request;
  request.url = EscapeUrlForWire(p.url);
  request.verb = MethodVerb(p.method);
  request.followRedirects = !p.noRedirect;
  request.maxAnswerBytes = p.maxAnswerBytes;
  request.abort = p.abort;

  // Each phase waits at most the time-out: resolve and connect share the connect limit, every
  // send or receive wait is a stall limit, and the whole request never takes longer than the
  // four phases together (a server that drips one byte at a time would hold it otherwise).
  if (p.timeout != -1) {
    long ms = p.timeout >= 1 ? static_cast<long>(p.timeout) * 1000 : 15000;
    request.connectTimeoutMs = 2 * ms;
    request.stallTimeoutS = ms / 1000;
    request.totalTimeoutMs = 4 * ms;
  } else {
    // The request object's own defaults: 60 s to connect, 30 s for each send or receive wait.
    request.connectTimeoutMs = 60000;
    request.stallTimeoutS = 30;
  }
  request.proxy = p.proxy;

  std::string working = p.headers;
  if (p.completeHeaders) working = CompleteDefaultHeaders(working, p.url, p.method, HeaderVariant::Scripted);
  if (p.normalizeHeaderNames) working = NormalizeHeaderNames(working);

  std::vector<std::string>& lines = request.headerLines;
  if (!p.proxy.empty() && !p.proxyUser.empty()) {
    if (p.credentialTarget == 1) {
      request.proxyUser = p.proxyUser;
      request.proxyPassword = p.proxyPassword;
      lines.push_back("Proxy-Authorization: Basic " + Base64Encode(p.proxyUser + ":" + p.proxyPassword));
    } else if (p.credentialTarget == 0) {
      request.serverUser = p.proxyUser;
      request.serverPassword = p.proxyPassword;
    }
  }
  if (p.cookies) {
    if (!p.cookies->empty() && Contains(*p.cookies, "Cookie:", true)) {
      *p.cookies = ReplaceAll(*p.cookies, "Cookie:", "", true);
    }
    lines.push_back("Cookie: " + *p.cookies);
  }
  auto addLine = [&](const std::string& line) {
    std::string name = HeaderName(line);
    if (name.empty()) return;  // the request object refuses a nameless header
    lines.push_back(name + ": " + HeaderValue(line));
  };
  if (!Contains(working, "\r\n")) {
    addLine(working);
  } else {
    for (const std::string& line : Split(working, "\r\n")) {
      if (line.empty()) continue;
      if (HeaderName(line) == "Connection" && HeaderValue(line) == "keep-alive") continue;
      addLine(line);
    }
  }

  if (!p.bodyBytes.empty()) {
    request.sendBody = true;
    request.body = p.bodyBytes;
  } else if (!p.body.empty()) {
    request.sendBody = true;
    request.body = p.body;
  }

  TransferResult result = RunTransfer(request, p.requestObject ? &p.requestObject->Curl() : nullptr);

  std::string headerBlock;
  for (const std::string& line : result.headerLines) headerBlock += line + "\r\n";
  if (p.returnedHeaders) *p.returnedHeaders = headerBlock;
  if (p.status) *p.status = result.status;
  std::string collected = CollectSetCookies(headerBlock);
  if (p.mergeCookies && p.cookies) collected = MergeCookies(*p.cookies, collected);
  if (p.returnedCookies) *p.returnedCookies = collected;
  return result.body;
}

}  // namespace mm
