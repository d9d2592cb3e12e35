#include "support/recording_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace mm::test {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string TrimBlanks(std::string_view s) {
  std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(" \t");
  return std::string(s.substr(b, e - b + 1));
}

}  // namespace

int UnusedLoopbackPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

std::string RecordedRequest::Header(std::string_view name) const {
  for (const auto& [n, v] : headers) {
    if (Lower(n) == Lower(name)) return v;
  }
  return {};
}

std::vector<std::string> RecordedRequest::HeaderNames() const {
  std::vector<std::string> names;
  for (const auto& [n, v] : headers) names.push_back(n);
  return names;
}

RecordingServer::RecordingServer() {
  fallback_ = [](const RecordedRequest&) {
    return CannedResponse{.status = 404, .reason = "Not Found"};
  };
  int pipeFds[2];
  if (::pipe(pipeFds) == 0) {
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
  }
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  ::listen(listenFd_, 64);
  socklen_t len = sizeof addr;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  acceptThread_ = std::thread([this] { AcceptLoop(); });
}

RecordingServer::~RecordingServer() { Stop(); }

std::string RecordingServer::Url(std::string_view pathAndQuery) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
}

void RecordingServer::Route(std::string path, Handler handler) {
  std::lock_guard lock(mutex_);
  routes_[std::move(path)] = std::move(handler);
}

void RecordingServer::Serve(std::string path, CannedResponse response) {
  Route(std::move(path), [response](const RecordedRequest&) { return response; });
}

void RecordingServer::SetFallback(Handler handler) {
  std::lock_guard lock(mutex_);
  fallback_ = std::move(handler);
}

std::vector<RecordedRequest> RecordingServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t RecordingServer::RequestCount() const {
  std::lock_guard lock(mutex_);
  return requests_.size();
}

void RecordingServer::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

void RecordingServer::Stop() {
  if (stopping_.exchange(true)) return;
  if (wakeWrite_ >= 0) {
    char b = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeWrite_, &b, 1);
  }
  if (acceptThread_.joinable()) acceptThread_.join();
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(mutex_);
    for (int fd : openFds_) ::shutdown(fd, SHUT_RDWR);
    threads.swap(connections_);
  }
  for (std::thread& t : threads) t.join();
  if (listenFd_ >= 0) ::close(listenFd_);
  if (wakeRead_ >= 0) ::close(wakeRead_);
  if (wakeWrite_ >= 0) ::close(wakeWrite_);
  listenFd_ = wakeRead_ = wakeWrite_ = -1;
}

void RecordingServer::AcceptLoop() {
  while (!stopping_) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents || stopping_) return;
    if (!(fds[0].revents & POLLIN)) continue;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex_);
    openFds_.push_back(fd);
    connections_.emplace_back([this, fd] { ServeConnection(fd); });
  }
}

CannedResponse RecordingServer::Answer(const RecordedRequest& request) {
  std::string path = request.target;
  // An absolute-form target (the server standing in for a proxy) is routed by its path.
  if (std::size_t scheme = path.find("://"); scheme != std::string::npos) {
    std::size_t slash = path.find('/', scheme + 3);
    path = slash == std::string::npos ? "/" : path.substr(slash);
  }
  path = path.substr(0, path.find('?'));
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    auto it = routes_.find(path);
    handler = it != routes_.end() ? it->second : fallback_;
  }
  return handler(request);
}

void RecordingServer::ServeConnection(int fd) {
  // Waits for the socket or for Stop; false when the server stops or the peer is gone.
  auto wait = [&](short events, int timeoutMs) {
    pollfd fds[2] = {{fd, events, 0}, {wakeRead_, POLLIN, 0}};
    int r = ::poll(fds, 2, timeoutMs);
    return r > 0 && !fds[1].revents && !stopping_ && (fds[0].revents & (events | POLLHUP));
  };
  auto sendAll = [&](std::string_view data) {
    while (!data.empty()) {
      if (!wait(POLLOUT, 10000)) return false;
      ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  };
  std::string buffer;
  char chunk[65536];
  bool keepGoing = true;
  while (keepGoing && !stopping_) {
    std::size_t headEnd;
    while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
      if (!wait(POLLIN, -1)) goto done;
      ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
      if (n <= 0) goto done;
      buffer.append(chunk, static_cast<std::size_t>(n));
    }
    {
      RecordedRequest request;
      request.rawHead = buffer.substr(0, headEnd + 4);
      std::size_t lineEnd = buffer.find("\r\n");
      std::string requestLine = buffer.substr(0, lineEnd);
      std::size_t sp1 = requestLine.find(' ');
      std::size_t sp2 = requestLine.rfind(' ');
      request.method = requestLine.substr(0, sp1);
      if (sp1 != std::string::npos && sp2 > sp1) {
        request.target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
        request.version = requestLine.substr(sp2 + 1);
      }
      std::size_t pos = lineEnd + 2;
      std::size_t contentLength = 0;
      bool close = false;
      while (pos < headEnd) {
        std::size_t e = buffer.find("\r\n", pos);
        std::string line = buffer.substr(pos, e - pos);
        pos = e + 2;
        std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string name = line.substr(0, colon);
        std::string value = TrimBlanks(std::string_view(line).substr(colon + 1));
        if (Lower(name) == "content-length") contentLength = std::strtoull(value.c_str(), nullptr, 10);
        if (Lower(name) == "connection" && Lower(value) == "close") close = true;
        request.headers.emplace_back(name, value);
      }
      buffer.erase(0, headEnd + 4);
      while (buffer.size() < contentLength) {
        if (!wait(POLLIN, 10000)) goto done;
        ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) goto done;
        buffer.append(chunk, static_cast<std::size_t>(n));
      }
      request.body = buffer.substr(0, contentLength);
      buffer.erase(0, contentLength);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      CannedResponse response = Answer(request);
      if (response.silent) {
        // Hold the connection open and say nothing until the client gives up or we stop.
        while (wait(POLLIN, -1)) {
          if (::recv(fd, chunk, sizeof chunk, 0) <= 0) break;
        }
        goto done;
      }
      if (response.delayMs > 0) {
        pollfd w{wakeRead_, POLLIN, 0};
        if (::poll(&w, 1, response.delayMs) != 0) goto done;
      }
      std::size_t total = std::max(response.body.size(), response.repeatBodyTo);
      if (request.method == "HEAD") total = 0;
      std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
      bool hasLength = false;
      for (const auto& [n, v] : response.headers) {
        head += n + ": " + v + "\r\n";
        if (Lower(n) == "content-length") hasLength = true;
      }
      if (!hasLength) head += "Content-Length: " + std::to_string(std::max(response.body.size(), response.repeatBodyTo)) + "\r\n";
      head += close ? "Connection: close\r\n\r\n" : "\r\n";
      if (!sendAll(head)) goto done;
      if (response.closeMidway) {
        sendAll(std::string_view(response.body).substr(0, response.body.size() / 2));
        goto done;
      }
      std::size_t sent = 0;
      while (sent < total && !response.body.empty()) {
        std::size_t n = std::min(response.body.size(), total - sent);
        if (!sendAll(std::string_view(response.body).substr(0, n))) goto done;
        sent += n;
      }
      keepGoing = !close;
    }
  }
done:
  {
    std::lock_guard lock(mutex_);
    openFds_.erase(std::remove(openFds_.begin(), openFds_.end(), fd), openFds_.end());
  }
  ::close(fd);
}

}  // namespace mm::test
