#include "http/curl_transfer.h"

#include <curl/curl.h>

#include <mutex>

#include "http/abort_signal.h"
#include "util/encoding.h"

namespace mm {

namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

bool Append(Slist& list, const std::string& line) {
  curl_slist* grown = curl_slist_append(list.get(), line.c_str());
  if (!grown) return false;
  list.release();
  list.reset(grown);
  return true;
}

struct Receiver {
  TransferResult* result;
  std::size_t cap;
  bool overCap = false;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* receiver = static_cast<Receiver*>(user);
  std::size_t n = size * count;
  if (receiver->cap && receiver->result->body.size() + n > receiver->cap) {
    receiver->overCap = true;
    return 0;  // ends the transfer: a hostile answer is not held in memory
  }
  receiver->result->body.append(data, n);
  return n;
}

// Every answer's head passes through here, the 1xx and redirect answers too; only the last
// answer's head is kept.
std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* receiver = static_cast<Receiver*>(user);
  std::size_t n = size * count;
  std::string line(data, n);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (line.rfind("HTTP/", 0) == 0) {
    receiver->result->statusLine = line;
    receiver->result->headerLines.clear();
  } else if (!line.empty()) {
    receiver->result->headerLines.push_back(line);
  }
  return n;
}

}  // namespace

struct CurlSession::Handles {
  CURL* easy = nullptr;
  CURLM* multi = nullptr;
  ~Handles() {
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
  }
};

CurlSession::CurlSession() : handles_(std::make_unique<Handles>()) {
  GlobalInit();
  handles_->easy = curl_easy_init();
  handles_->multi = curl_multi_init();
}

CurlSession::~CurlSession() = default;

bool CurlSession::Ok() const { return handles_->easy && handles_->multi; }
void* CurlSession::Easy() const { return handles_->easy; }
void* CurlSession::Multi() const { return handles_->multi; }

std::string EscapeUrlForWire(const std::string& url) {
  static const char* hex = "0123456789ABCDEF";
  std::string utf8 = AnsiToUtf8(url);
  std::string out;
  out.reserve(utf8.size());
  for (unsigned char c : utf8) {
    if (c >= 0x80 || c <= 0x20 || c == 0x7F) {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

TransferResult RunTransfer(const TransferRequest& request, CurlSession* session) {
  TransferResult result;
  std::unique_ptr<CurlSession> own;
  if (!session) {
    own = std::make_unique<CurlSession>();
    session = own.get();
  }
  if (!session->Ok()) return result;
  CURL* easy = static_cast<CURL*>(session->Easy());
  CURLM* multi = static_cast<CURLM*>(session->Multi());
  curl_easy_reset(easy);

  Receiver receiver{&result, request.maxAnswerBytes};
  curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
#if LIBCURL_VERSION_NUM >= 0x075700
  // An abort must not wait for a name lookup that hangs: the resolver thread is left to end
  // on its own instead of being waited for.
  curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
#endif
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &receiver);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &receiver);
  // Certificate errors never stop a request: the sites and renderers often have none that
  // verify, and the program was always this lenient.
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
  if (!request.userAgent.empty()) curl_easy_setopt(easy, CURLOPT_USERAGENT, request.userAgent.c_str());
  if (!request.proxy.empty()) {
    curl_easy_setopt(easy, CURLOPT_PROXY, request.proxy.c_str());
    if (!request.proxyUser.empty()) {
      curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, request.proxyUser.c_str());
      curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, request.proxyPassword.c_str());
    }
  } else {
    curl_easy_setopt(easy, CURLOPT_PROXY, "");  // no proxy from the environment either
  }
  if (!request.serverUser.empty()) {
    curl_easy_setopt(easy, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
    curl_easy_setopt(easy, CURLOPT_USERNAME, request.serverUser.c_str());
    curl_easy_setopt(easy, CURLOPT_PASSWORD, request.serverPassword.c_str());
  }
  if (request.connectTimeoutMs > 0) curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, request.connectTimeoutMs);
  if (request.stallTimeoutS > 0) {
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, request.stallTimeoutS);
  }
  if (request.totalTimeoutMs > 0) curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, request.totalTimeoutMs);

  Slist headers;
  bool hasAccept = false, hasContentType = false;
  for (const std::string& line : request.headerLines) {
    std::string lower = AsciiLower(line.substr(0, line.find(':')));
    if (lower == "accept") hasAccept = true;
    if (lower == "content-type") hasContentType = true;
    // curl drops a header given as "Name:" with nothing after it; "Name;" sends it empty.
    std::size_t colon = line.find(':');
    bool emptyValue = colon != std::string::npos && line.find_first_not_of(' ', colon + 1) == std::string::npos;
    Append(headers, emptyValue ? line.substr(0, colon) + ";" : line);
  }
  // Only what the caller's lines say goes out: none of curl's own defaults.
  if (!hasAccept) Append(headers, "Accept:");
  if (!hasContentType) Append(headers, "Content-Type:");
  Append(headers, "Expect:");
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());

  if (request.verb == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else if (request.verb != "GET" || request.sendBody) {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
  }
  if (request.sendBody && request.verb != "HEAD") {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, request.body.c_str());
  } else if (request.verb == "POST") {
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE, 0L);
    curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, "");
  }

  if (curl_multi_add_handle(multi, easy) != CURLM_OK) return result;
  CURLcode code = CURLE_ABORTED_BY_CALLBACK;
  {
    // The wake-up only pokes the multi handle; the loop below sees the signal and stops.
    AbortSubscription subscription(request.abort, [multi] { curl_multi_wakeup(multi); });
    for (;;) {
      if (request.abort && request.abort->IsAborted()) break;
      int running = 0;
      if (curl_multi_perform(multi, &running) != CURLM_OK) break;
      int queued = 0;
      bool finished = false;
      while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE) {
          code = message->data.result;
          finished = true;
        }
      }
      if (finished || running == 0) break;
      if (curl_multi_poll(multi, nullptr, 0, 1000, nullptr) != CURLM_OK) break;
    }
  }
  curl_multi_remove_handle(multi, easy);

  long status = 0;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
  if (code != CURLE_OK || receiver.overCap) {
    result = TransferResult{};
    return result;
  }
  result.answered = true;
  result.status = static_cast<int>(status);
  return result;
}

}  // namespace mm
