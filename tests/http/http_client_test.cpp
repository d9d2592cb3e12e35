#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "http/abort_signal.h"
#include "http/http_request.h"
#include "http/inet_request.h"
#include "support/recording_server.h"
#include "util/encoding.h"

namespace mm {
namespace {

using test::CannedResponse;
using test::RecordingServer;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class HttpClientTest : public ::testing::Test {
 protected:
  RecordingServer server_;
  test::RecordedRequest Last() {
    auto requests = server_.Requests();
    return requests.empty() ? test::RecordedRequest{} : requests.back();
  }
};

TEST_F(HttpClientTest, MethodIndexSelectsTheVerb) {
  const std::pair<int, const char*> cases[] = {{-1, "GET"}, {0, "GET"}, {1, "POST"}, {2, "HEAD"},
                                               {3, "PUT"},  {5, "DELETE"}, {8, "GET"}, {100, "GET"}};
  server_.Serve("/v", CannedResponse{.body = "ok"});
  for (const auto& [method, verb] : cases) {
    SCOPED_TRACE(method);
    HttpRequest({.url = server_.Url("/v"), .method = method, .timeout = 2});
    EXPECT_EQ(Last().method, verb);
    InetRequest({.url = server_.Url("/v"), .method = method});
    EXPECT_EQ(Last().method, verb);
  }
}

TEST_F(HttpClientTest, DefaultHeaderLinesInTheirOrder) {
  server_.Serve("/h", CannedResponse{.body = "ok"});
  const std::string url = server_.Url("/h?a=1");
  EXPECT_EQ(HttpRequest({.url = url}), "ok");
  test::RecordedRequest r = Last();
  EXPECT_EQ(r.HeaderNames(),
            (std::vector<std::string>{"Host", "Accept", "Referer", "Accept-Language", "User-Agent"}));
  EXPECT_EQ(r.Header("Accept"), "*/*");
  EXPECT_EQ(r.Header("Referer"), url);
  EXPECT_EQ(r.Header("Accept-Language"), "zh-cn");
  EXPECT_EQ(r.Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");

  HttpRequest({.url = url, .method = 1, .body = "a=1&b=2"});
  r = Last();
  EXPECT_EQ(r.Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(r.body, "a=1&b=2");
  EXPECT_EQ(r.Header("Expect"), "");
}

TEST_F(HttpClientTest, CallerLinesSuppressAndKeepAliveIsSkipped) {
  server_.Serve("/h", CannedResponse{.body = "ok"});
  HttpRequest({.url = server_.Url("/h"),
               .headers = "accept: text/html\r\nconnection: keep-alive\r\nx-token: t"});
  test::RecordedRequest r = Last();
  int accepts = 0;
  for (const auto& [name, value] : r.headers) accepts += name == "Accept";
  EXPECT_EQ(accepts, 1);
  EXPECT_EQ(r.Header("Accept"), "text/html");
  EXPECT_EQ(r.Header("X-Token"), "t");
  EXPECT_EQ(r.Header("Connection"), "");
  // Without normalisation the lower-case name does not match "Connection" and is sent.
  HttpRequest({.url = server_.Url("/h"), .headers = "connection: keep-alive\r\nx: 1",
               .normalizeHeaderNames = false});
  EXPECT_EQ(Last().Header("connection"), "keep-alive");
}

TEST_F(HttpClientTest, BodyBytesWinOverBodyText) {
  server_.Serve("/b", CannedResponse{});
  HttpRequest({.url = server_.Url("/b"), .method = 1, .body = "text", .bodyBytes = std::string("\0\1b", 3)});
  EXPECT_EQ(Last().body, std::string("\0\1b", 3));
}

TEST_F(HttpClientTest, CookiesGoOutAndMergedCookiesComeBack) {
  server_.Serve("/c", CannedResponse{.headers = {{"Set-Cookie", "b=2; path=/"}, {"Set-Cookie", "a=deleted"}},
                                     .body = "ok"});
  std::string cookies = "Cookie: a=1; c=3";
  std::string returned;
  HttpRequest({.url = server_.Url("/c"), .cookies = &cookies, .returnedCookies = &returned});
  EXPECT_EQ(Last().Header("Cookie"), "a=1; c=3");
  EXPECT_EQ(cookies, "b=2; c=3");
  EXPECT_EQ(returned, "b=2; c=3");

  std::string empty;
  HttpRequest({.url = server_.Url("/c"), .cookies = &empty});
  bool sent = false;
  for (const auto& [name, value] : Last().headers) sent |= name == "Cookie";
  EXPECT_TRUE(sent) << "an empty cookie text still sends an empty Cookie line";

  std::string inet = "a=1";
  std::string inetReturned;
  InetRequest({.url = server_.Url("/c"), .cookies = &inet, .returnedCookies = &inetReturned});
  EXPECT_EQ(Last().Header("Cookie"), "a=1");
  EXPECT_EQ(inet, "b=2");
}

TEST_F(HttpClientTest, ProxyReceivesTheAbsoluteTargetAndBasicCredentials) {
  server_.Serve("/p", CannedResponse{.body = "via proxy"});
  const std::string proxy = "127.0.0.1:" + std::to_string(server_.Port());
  // The name is never resolved: the proxy stand-in is asked for it.
  EXPECT_EQ(HttpRequest({.url = "http://catalogue.invalid/p?q=1", .proxy = proxy, .proxyUser = "user",
                         .proxyPassword = "pa:ss"}),
            "via proxy");
  test::RecordedRequest r = Last();
  EXPECT_EQ(r.target, "http://catalogue.invalid/p?q=1");
  EXPECT_EQ(r.Header("Proxy-Authorization"), "Basic " + Base64Encode("user:pa:ss"));
  EXPECT_EQ(Base64Encode("user:pa:ss"), "dXNlcjpwYTpzcw==");

  HttpRequest({.url = "http://catalogue.invalid/p", .proxy = proxy, .proxyUser = "user", .credentialTarget = 0});
  EXPECT_EQ(Last().Header("Proxy-Authorization"), "");
  HttpRequest({.url = server_.Url("/p"), .proxyUser = "user", .proxyPassword = "x"});
  EXPECT_EQ(Last().Header("Proxy-Authorization"), "") << "no proxy, no credentials";
}

TEST_F(HttpClientTest, Base64) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"\xFF\xFE", "//4="}};
  for (const auto& [in, out] : cases) EXPECT_EQ(Base64Encode(in), out);
}

TEST_F(HttpClientTest, ChineseKeywordArrivesAsPercentEscapedUtf8) {
  server_.Serve("/s", CannedResponse{.body = "ok"});
  HttpRequest({.url = server_.Url("/s?wd=") + Gbk("投屏 设备") + "&x=%41"});
  EXPECT_EQ(Last().target, "/s?wd=%E6%8A%95%E5%B1%8F%20%E8%AE%BE%E5%A4%87&x=%41");
}

TEST_F(HttpClientTest, RedirectsFollowedUnlessSwitchedOff) {
  server_.Serve("/from", CannedResponse{.status = 302, .reason = "Found",
                                        .headers = {{"Location", "/to"}}, .body = "moved"});
  server_.Serve("/to", CannedResponse{.headers = {{"X-Final", "1"}}, .body = "arrived"});
  int status = 0;
  std::string headers;
  EXPECT_EQ(HttpRequest({.url = server_.Url("/from"), .returnedHeaders = &headers, .status = &status}),
            "arrived");
  EXPECT_EQ(status, 200);
  EXPECT_NE(headers.find("X-Final: 1\r\n"), std::string::npos);
  EXPECT_EQ(headers.find("Location"), std::string::npos) << "only the final answer's head";
  EXPECT_EQ(HttpRequest({.url = server_.Url("/from"), .status = &status, .noRedirect = true}), "moved");
  EXPECT_EQ(status, 302);
  EXPECT_EQ(InetRequest({.url = server_.Url("/from"), .noRedirect = true}), "moved");
  EXPECT_EQ(InetRequest({.url = server_.Url("/from")}), "arrived");
}

TEST_F(HttpClientTest, SilentServerGivesUpWithinFourTimesTheTimeout) {
  server_.Serve("/silent", CannedResponse{.silent = true});
  int status = -1;
  std::string headers = "untouched";
  auto start = Clock::now();
  EXPECT_EQ(HttpRequest({.url = server_.Url("/silent"), .returnedHeaders = &headers, .status = &status,
                         .timeout = 1}),
            "");
  EXPECT_LE(SecondsSince(start), 4.5);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(headers, "");
}

TEST_F(HttpClientTest, AbortEndsARequestInFlightAtOnce) {
  server_.Serve("/silent", CannedResponse{.silent = true});
  for (bool inet : {false, true}) {
    SCOPED_TRACE(inet ? "InetRequest" : "HttpRequest");
    server_.ClearRequests();
    AbortSignal abort;
    std::thread aborter([&] {
      for (int i = 0; i < 500 && server_.RequestCount() == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      abort.Abort();
    });
    auto start = Clock::now();
    Bytes body = inet ? InetRequest({.url = server_.Url("/silent"), .abort = &abort})
                      : HttpRequest({.url = server_.Url("/silent"), .timeout = 15, .abort = &abort});
    double waited = SecondsSince(start);
    aborter.join();
    EXPECT_EQ(body, "");
    EXPECT_LT(waited, 3.0) << "the abort did not end the wait";
  }
  AbortSignal already;
  already.Abort();
  EXPECT_EQ(HttpRequest({.url = server_.Url("/silent"), .abort = &already}), "");
}

TEST_F(HttpClientTest, AnswersAboveTheCapOrBrokenOffReadAsNone) {
  const std::string chunk(4096, 'x');
  server_.Serve("/big", CannedResponse{.body = chunk, .repeatBodyTo = std::size_t{3} << 20});
  server_.Serve("/fits", CannedResponse{.body = chunk, .repeatBodyTo = std::size_t{1} << 20});
  server_.Serve("/broken", CannedResponse{.body = std::string(10000, 'y'), .closeMidway = true});
  const std::size_t cap = std::size_t{1} << 20;
  EXPECT_EQ(HttpRequest({.url = server_.Url("/big"), .maxAnswerBytes = cap}), "");
  EXPECT_EQ(HttpRequest({.url = server_.Url("/fits"), .maxAnswerBytes = cap}).size(), cap);
  EXPECT_EQ(InetRequest({.url = server_.Url("/big"), .maxAnswerBytes = cap}), "");
  EXPECT_EQ(HttpRequest({.url = server_.Url("/broken")}), "");
  EXPECT_EQ(InetRequest({.url = server_.Url("/broken")}), "");
}

TEST_F(HttpClientTest, UnreachableHost) {
  const std::string url = "http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()) + "/description.xml";
  std::string headers, cookies = "old=1", returned = "x";
  EXPECT_EQ(InetRequest({.url = url, .returnedCookies = &returned, .returnedHeaders = &headers}), "");
  EXPECT_EQ(headers, std::string(5000, ' '));
  EXPECT_EQ(returned, "");
  int status = -1;
  std::string httpHeaders = "x";
  EXPECT_EQ(HttpRequest({.url = url, .cookies = &cookies, .returnedHeaders = &httpHeaders, .status = &status}), "");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(httpHeaders, "");
  EXPECT_EQ(cookies, "old=1");
}

TEST_F(HttpClientTest, InetSoapRequestSendsTheCallersLinesThenTheDefaults) {
  server_.Serve("/ctl", CannedResponse{.body = "<ok/>"});
  const std::string url = server_.Url("/ctl");
  const std::string headers =
      "SOAPAction: \"urn:schemas-upnp-org:service:AVTransport:1#Play\"\r\n"
      "User-Agent: UPnP/1.0 DLNADOC/1.50 Platinum/1.0.5.13\r\n"
      "Content-Type: text/xml; charset=\"utf-8\"";
  std::string raw;
  EXPECT_EQ(InetRequest({.url = url, .method = 1, .body = "<s:Envelope/>", .headers = headers,
                         .returnedHeaders = &raw}),
            "<ok/>");
  test::RecordedRequest r = Last();
  EXPECT_EQ(r.method, "POST");
  EXPECT_EQ(r.body, "<s:Envelope/>");
  EXPECT_EQ(r.Header("User-Agent"), "UPnP/1.0 DLNADOC/1.50 Platinum/1.0.5.13");
  EXPECT_EQ(r.Header("Content-Type"), "text/xml; charset=\"utf-8\"");
  EXPECT_EQ(r.Header("Referer"), url);
  std::vector<std::string> ours;
  for (const std::string& name : r.HeaderNames()) {
    if (name == "SOAPAction" || name == "Content-Type" || name == "Accept" || name == "Referer" ||
        name == "Accept-Language") {
      ours.push_back(name);
    }
  }
  EXPECT_EQ(ours, (std::vector<std::string>{"SOAPAction", "Content-Type", "Accept", "Referer", "Accept-Language"}));
  EXPECT_EQ(raw.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_EQ(raw.substr(raw.size() - 4), "\r\n\r\n");

  InetRequest({.url = server_.Url("/ctl")});
  r = Last();
  EXPECT_EQ(r.Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(r.body, "");
  InetRequest({.url = server_.Url("/ctl"), .method = 2, .body = "x"});
  EXPECT_EQ(Last().method, "HEAD");
}

TEST(InetUrl, HostPortAndPath) {
  struct Case {
    std::string url, host;
    int port;
    std::string path;
  };
  const Case cases[] = {
      {"http://192.168.1.5:49152/description.xml", "192.168.1.5", 49152, "/description.xml"},
      {"http://192.168.1.5/description.xml", "192.168.1.5", 80, "/description.xml"},
      {"https://tv.local/x", "tv.local", 443, "/x"},
      {"HTTP://TV.Local:8080/Upper/Path?Q=1", "tv.local", 8080, "/Upper/Path?Q=1"},
      {"http://tv.local", "tv.local", 80, "/"},
      {"tv.local:9/a", "tv.local", 9, "/a"},
      {"http://tv.local:abc/a", "tv.local", 0, "/a"},
      {"", "", 80, "/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(UrlHost(c.url), c.host);
    EXPECT_EQ(UrlPort(c.url), c.port);
    EXPECT_EQ(UrlPath(c.url), c.path);
  }
}

TEST(InetUserAgent, ChosenFromTheHeaderText) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
      {"A: 1\r\nUser-Agent: Box/2\r\nB: 2", "Box/2"},
      {"User-Agent:   ", ""},
  };
  for (const auto& [text, agent] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ChooseUserAgent(text), agent);
  }
}

}  // namespace
}  // namespace mm
