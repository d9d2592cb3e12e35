#include "search/xml_answer.h"

#include <gtest/gtest.h>

#include "util/encoding.h"

namespace mm {
namespace {

TEST(XmlAnswer, ConvertedByTheDeclaredEncoding) {
  const std::string utf8Doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><n>中文</n></rss>";
  const std::string gbkDoc = "<?xml version='1.0' encoding='GB2312'?><rss><n>" + Gbk("中文") + "</n></rss>";
  const std::string undeclaredGbk = "<rss><n>" + Gbk("中文片名") + "</n></rss>";
  struct Case {
    const char* name;
    std::string answer, encoding, programText;
  };
  const Case cases[] = {
      {"utf8_declared", utf8Doc, "utf-8", Gbk(utf8Doc)},
      {"gb2312_declared_stays", gbkDoc, "gb2312", gbkDoc},
      {"undeclared_utf8", "<rss><n>中文</n></rss>", "", Gbk("<rss><n>中文</n></rss>")},
      {"undeclared_not_utf8_stays", undeclaredGbk, "", undeclaredGbk},
      {"bom_dropped", "\xEF\xBB\xBF<rss>中</rss>", "", Gbk("<rss>中</rss>")},
      {"blank_before_declaration", "  <?xml version=\"1.0\" encoding = \"gbk\" ?><a/>", "gbk",
       "  <?xml version=\"1.0\" encoding = \"gbk\" ?><a/>"},
      {"unknown_encoding_stays", "<?xml version=\"1.0\" encoding=\"big5\"?><a>\xA4\xA4</a>", "big5",
       "<?xml version=\"1.0\" encoding=\"big5\"?><a>\xA4\xA4</a>"},
      {"empty", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DeclaredXmlEncoding(c.answer), c.encoding);
    EXPECT_EQ(XmlAnswerToProgramText(c.answer), c.programText);
  }
}

}  // namespace
}  // namespace mm
