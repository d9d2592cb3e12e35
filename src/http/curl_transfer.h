#pragma once
// The one place that drives libcurl. Both HTTP clients describe a request as a TransferRequest;
// this runs it to the end, to a time-out, to the answer cap or to an abort, and reports what
// arrived. A multi handle around the easy handle lets an abort wake the wait at once.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "util/text.h"

namespace mm {

class AbortSignal;

// A reusable connection: an easy handle and the multi handle that holds its connection cache,
// so that several requests made through one session can share a connection. Not copyable.
class CurlSession {
 public:
  CurlSession();
  ~CurlSession();
  CurlSession(const CurlSession&) = delete;
  CurlSession& operator=(const CurlSession&) = delete;
  bool Ok() const;
  void* Easy() const;   // CURL*
  void* Multi() const;  // CURLM*

 private:
  struct Handles;
  std::unique_ptr<Handles> handles_;
};

struct TransferRequest {
  std::string url;                       // already escaped for the wire
  std::string verb = "GET";
  bool sendBody = false;
  Bytes body;
  std::vector<std::string> headerLines;  // "Name: value", sent in this order after Host
  std::string userAgent;                 // empty: no User-Agent line of curl's own
  std::string proxy;
  std::string proxyUser, proxyPassword;  // credentials answered to a proxy's challenge
  std::string serverUser, serverPassword;  // credentials answered to a server's challenge
  bool followRedirects = true;
  long connectTimeoutMs = 0;  // name resolution and connection together
  long stallTimeoutS = 0;     // the longest wait for any byte to move, in seconds
  long totalTimeoutMs = 0;    // hard cap for the whole request; 0 = none
  std::size_t maxAnswerBytes = 0;  // 0 = no cap
  const AbortSignal* abort = nullptr;
};

struct TransferResult {
  bool answered = false;   // a complete answer arrived
  int status = 0;
  Bytes body;
  std::string statusLine;                // of the final answer, without CR LF
  std::vector<std::string> headerLines;  // of the final answer, without CR LF
};

// Runs the request on `session` (or on a session of its own when null). Never throws; every
// failure, an abort and an answer above the cap come back as answered == false.
TransferResult RunTransfer(const TransferRequest& request, CurlSession* session = nullptr);

// Code-page-936 URL text as the platform request objects send it: converted to UTF-8, with
// every non-ASCII byte, blank and control character percent-escaped. Existing escapes stay.
std::string EscapeUrlForWire(const std::string& url);

}  // namespace mm
