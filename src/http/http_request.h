#pragma once
// The program's general HTTP client: one synchronous request, the answer's body as bytes.
// Around the transfer it adds the program's own rules: a method index instead of a verb, a
// time-out per phase in seconds, the default header lines, header-name capitalisation, proxy
// credentials as a Basic Proxy-Authorization line, the caller's cookie text as the Cookie line,
// and collection and merging of the answer's Set-Cookie lines.

#include <cstddef>
#include <memory>
#include <string>

#include "util/text.h"

namespace mm {

class AbortSignal;
class CurlSession;

// A request object kept between calls, so that they share a connection. Not copyable; use it
// from one thread at a time.
class HttpSession {
 public:
  HttpSession();
  ~HttpSession();
  HttpSession(const HttpSession&) = delete;
  HttpSession& operator=(const HttpSession&) = delete;
  CurlSession& Curl() { return *curl_; }

 private:
  std::unique_ptr<CurlSession> curl_;
};

// Every optional parameter; a null out-pointer is a parameter not given. Use designated
// initializers: HttpRequest({.url = u, .timeout = 5}).
struct HttpRequestParams {
  std::string url;                       // program text; also the default Referer
  int method = 0;                        // 0 GET 1 POST 2 HEAD 3 PUT 4 OPTIONS 5 DELETE 6 TRACE 7 CONNECT
  std::string body;                      // sent when bodyBytes is empty
  std::string* cookies = nullptr;        // in/out: sent as the Cookie line, merged on return
  std::string* returnedCookies = nullptr;  // out: the answer's cookies (merged when asked)
  std::string headers;                   // extra lines separated by "\r\n"
  std::string* returnedHeaders = nullptr;  // out: one answer header a "\r\n"-ended line
  int* status = nullptr;                 // out: 0 without an answer
  bool noRedirect = false;
  Bytes bodyBytes;                       // sent instead of body when not empty
  std::string proxy;
  int timeout = 0;                       // seconds a phase; 0 or less: 15; -1: the defaults
  std::string proxyUser, proxyPassword;
  int credentialTarget = 1;              // 0 server, 1 proxy (only 1 adds the Basic line)
  HttpSession* requestObject = nullptr;
  bool mergeCookies = true;
  bool completeHeaders = true;
  bool normalizeHeaderNames = true;
  const AbortSignal* abort = nullptr;    // ends the request at once when it fires
  std::size_t maxAnswerBytes = std::size_t{64} << 20;  // a larger answer reads as none
};

Bytes HttpRequest(const HttpRequestParams& params);

// The verb of a method index; an index outside 0..7 is GET.
std::string MethodVerb(int method);

// RFC 4648 Base64 with padding.
std::string Base64Encode(std::string_view bytes);

}  // namespace mm
