#pragma once
// A real HTTP/1.1 server on 127.0.0.1 inside the test process. It records every request exactly
// as it arrived (method, target, header lines in order and spelling, body) and answers from
// canned responses that can also be slow, silent, broken off or huge on purpose.

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace mm::test {

struct RecordedRequest {
  std::string method, target, version, rawHead, body;
  std::vector<std::pair<std::string, std::string>> headers;
  // The first header of that name, compared without letter case; empty when there is none.
  std::string Header(std::string_view name) const;
  // Only the header names, in the order they arrived.
  std::vector<std::string> HeaderNames() const;
};

struct CannedResponse {
  int status = 200;
  std::string reason = "OK";
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  int delayMs = 0;               // wait before answering
  bool silent = false;           // read the request, never answer (until Stop)
  bool closeMidway = false;      // send the head and half the body, then close
  std::size_t repeatBodyTo = 0;  // stream the body repeated up to this many bytes
};

// A loopback port nobody listens on (bound once, then released), for "unreachable host" cases.
int UnusedLoopbackPort();

class RecordingServer {
 public:
  using Handler = std::function<CannedResponse(const RecordedRequest&)>;

  RecordingServer();
  ~RecordingServer();
  RecordingServer(const RecordingServer&) = delete;
  RecordingServer& operator=(const RecordingServer&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:PORT" followed by `pathAndQuery`.
  std::string Url(std::string_view pathAndQuery = "/") const;

  // Exact path match (the target without its query); a later route for a path replaces it.
  void Route(std::string path, Handler handler);
  void Serve(std::string path, CannedResponse response);
  void SetFallback(Handler handler);  // default: 404 with an empty body

  std::vector<RecordedRequest> Requests() const;
  std::size_t RequestCount() const;
  void ClearRequests();

  void Stop();

 private:
  void AcceptLoop();
  void ServeConnection(int fd);
  CannedResponse Answer(const RecordedRequest& request);

  int listenFd_ = -1;
  int port_ = 0;
  int wakeRead_ = -1, wakeWrite_ = -1;  // a pipe that ends every wait at Stop
  std::atomic<bool> stopping_{false};
  std::thread acceptThread_;
  mutable std::mutex mutex_;
  std::vector<std::thread> connections_;
  std::vector<int> openFds_;
  std::map<std::string, Handler> routes_;
  Handler fallback_;
  std::vector<RecordedRequest> requests_;
};

}  // namespace mm::test
