#include "http/request_headers.h"

#include <gtest/gtest.h>

#include "http/cookie_jar.h"
#include "util/encoding.h"

namespace mm {
namespace {

const std::string kUrl = "http://a.example/x?y=1";

TEST(RequestHeaders, CompleteDefaultHeaders) {
  struct Case {
    const char* name;
    std::string text;
    int method;
    HeaderVariant variant;
    std::string expected;
  };
  const std::string ua = "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
  const Case cases[] = {
      {"scripted_empty_get", "", 0, HeaderVariant::Scripted,
       "\r\nAccept: */*\r\nReferer: " + kUrl + "\r\nAccept-Language: zh-cn" + ua},
      {"inet_empty_post", "", 1, HeaderVariant::Inet,
       "Accept: */*\r\nReferer: " + kUrl +
           "\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded"},
      {"lower_case_accept_language_suppresses_only_its_line", "accept-language: en", 0,
       HeaderVariant::Inet,
       "accept-language: en\r\nAccept: */*\r\nReferer: " + kUrl},
      {"x_referer_suppresses_referer", "X-Referer: r", 0, HeaderVariant::Inet,
       "X-Referer: r\r\nAccept: */*\r\nAccept-Language: zh-cn"},
      {"content_type_present_post", "Content-Type: text/xml", 1, HeaderVariant::Inet,
       "Content-Type: text/xml\r\nAccept: */*\r\nReferer: " + kUrl + "\r\nAccept-Language: zh-cn"},
      {"content_type_only_for_post", "", 3, HeaderVariant::Inet,
       "Accept: */*\r\nReferer: " + kUrl + "\r\nAccept-Language: zh-cn"},
      {"caller_user_agent_kept", "user-agent: x", 0, HeaderVariant::Scripted,
       "user-agent: x\r\nAccept: */*\r\nReferer: " + kUrl + "\r\nAccept-Language: zh-cn"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CompleteDefaultHeaders(c.text, kUrl, c.method, c.variant), c.expected);
  }
}

TEST(RequestHeaders, NormalizeNamesAndSplitLines) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\r\n\r\nb: 1\r\nc", "B: 1"},
      {"content-type: text/html", "Content-Type: text/html"},
      {"x-requested-with:XMLHttpRequest", "X-Requested-With:XMLHttpRequest"},
      {"content-TYPE: a", "Content-TYPE: a"},
      {"SOAPAction: \"x\"\r\nUser-Agent: u", "SOAPAction: \"x\"\r\nUser-Agent: u"},
      {"referer: http://h:8080/p", "Referer: http://h:8080/p"},
      {"-a--b-: v", "-A--B-: v"},
      {"", ""},
      {"no colon at all", ""},
      {"k: v\r\n", "K: v"},
  };
  for (const auto& [in, out] : cases) {
    SCOPED_TRACE(in);
    EXPECT_EQ(NormalizeHeaderNames(in), out);
  }
  EXPECT_EQ(HeaderName("  Accept  :  text/html  "), "Accept");
  EXPECT_EQ(HeaderValue("  Accept  :  text/html  "), "text/html");
  EXPECT_EQ(HeaderValue("Referer: http://h:1/p"), "http://h:1/p");
  EXPECT_EQ(HeaderName("no colon"), "");
  EXPECT_EQ(HeaderValue("no colon"), "");
  EXPECT_EQ(CapitalizeFirst(""), "");
  EXPECT_EQ(CapitalizeFirst(Gbk("中a")), Gbk("中a"));
}

TEST(CookieJar, CollectSetCookies) {
  const std::pair<std::string, std::string> cases[] = {
      {"Set-Cookie: a=1; path=/", "a=1"},
      {"Set-Cookie: a=1", "a=1"},
      {"set-cookie: a=1", ""},
      {"Set-Cookie:a=1", ""},
      {"Set-Cookie: ; path=/", ""},
      {"Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2", "a=1; b=2"},
      {"Set-Cookie: ; path=/\r\nSet-Cookie: b=2", "; b=2"},
      {"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nSet-Cookie: s=x; HttpOnly\r\n\r\n", "s=x"},
      {"", ""},
  };
  for (const auto& [block, collected] : cases) {
    SCOPED_TRACE(block);
    EXPECT_EQ(CollectSetCookies(block), collected);
  }
}

TEST(CookieJar, MergeCookies) {
  struct Case {
    std::string before, returned, merged;
  };
  const Case cases[] = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1"},
      {"a=1; b=2", "a=deleted", "b=2"},
      {"a=1; a=5", "", "a=1"},
      {"", "x=1; x=1", "x=1"},
      {"", "x=1; x=2", "x=1; x=2"},
      {"a=1;", "", "a=1"},
      {"a=1;b=2", "b=3", "b=3; a=1;b=2"},
      {"", "", ""},
      {"  a=1  ", "b=2;", "b=2; a=1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before + " + " + c.returned);
    std::string cookies = c.before;
    EXPECT_EQ(MergeCookies(cookies, c.returned), c.merged);
    EXPECT_EQ(cookies, c.merged);
  }
  EXPECT_EQ(RemoveDuplicateItems("a|b|a|c|b", "|"), "a|b|c");
  EXPECT_EQ(CookieName(" sid = 5 "), "sid");
  EXPECT_EQ(CookieName(" flag "), "flag");
}

}  // namespace
}  // namespace mm
