#include "util/xml_tree.h"

#include <gtest/gtest.h>

#include "util/encoding.h"

namespace mm {
namespace {

const std::string kDescription =
    "<?xml version=\"1.0\"?>\n"
    "<root xmlns=\"urn:schemas-upnp-org:device-1-0\" xmlns:dlna=\"urn:schemas-dlna-org:device-1-0\">\n"
    "  <device>\n"
    "    <friendlyName>Living &amp; Room &#20013;&#x6587; &lt;TV&gt;</friendlyName>\n"
    "    <serviceList><service><serviceType>urn:a</serviceType></service>"
    "<service><serviceType>urn:b</serviceType><controlURL>/ctl</controlURL></service></serviceList>\n"
    "    <dlna:X_DLNADOC>DMR-1.51</dlna:X_DLNADOC>\n"
    "    <note><![CDATA[a &amp; <b>]]></note>\n"
    "    <mixed>one<i>two</i><![CDATA[three]]></mixed>\n"
    "  </device>\n"
    "  <list page=\"1\" recordcount=\"35\" title=\"&quot;x&quot; &#x1F600;\"/>\n"
    "</root>";

TEST(XmlTree, PathsTextsAndAttributes) {
  XmlTree tree;
  ASSERT_TRUE(tree.Load(kDescription));
  const std::pair<const char*, std::string> texts[] = {
      {"root/device/friendlyName", "Living & Room 中文 <TV>"},
      {"root/@1/@1", "Living & Room 中文 <TV>"},
      {"root/device/dlna:X_DLNADOC", "DMR-1.51"},
      {"root/device/X_DLNADOC", ""},
      {"root/device/serviceList/@2/controlURL", "/ctl"},
      {"root/device/serviceList/@3", ""},
      {"root/device/note", "a &amp; <b>"},
      {"root/device/mixed", "onetwothree"},
      {"other/device", ""},
      {"root/@0", ""},
      {"root/@x", ""},
      {"", ""},
  };
  for (const auto& [path, text] : texts) {
    SCOPED_TRACE(path);
    EXPECT_EQ(tree.Text(path), Gbk(text));
  }
  EXPECT_EQ(tree.Attribute("root/@2", "recordcount"), "35");
  EXPECT_EQ(tree.Attribute("root/@2", "missing"), "");
  EXPECT_EQ(tree.Attribute("root/@2", "title"), "\"x\" ?");
  EXPECT_EQ(tree.ChildCount("root/device/serviceList"), 2);
  EXPECT_EQ(tree.ChildCount("root/nothing"), 0);
  EXPECT_EQ(tree.RootName(), "root");
}

TEST(XmlTree, BytesStayAsTheyAre) {
  XmlTree tree;
  const std::string gbkName = Gbk("国语");
  ASSERT_TRUE(tree.Load("<?xml version=\"1.0\" encoding=\"gbk\"?><rss><n>" + gbkName + "</n></rss>"));
  EXPECT_EQ(tree.Text("rss/n"), gbkName);
}

TEST(XmlTree, BadDocumentsLoadFalseAndReadEmpty) {
  const std::string cases[] = {
      "",
      "not xml",
      "<a><b></a>",
      "<a>",
      std::string("\0\0\0", 3),
      "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]><r>&b;&b;</r>",
      std::string(200000, '<'),
  };
  for (const std::string& bytes : cases) {
    XmlTree tree;
    tree.Load(bytes);
    tree.Text("r");
    tree.Attribute("a/b", "c");
  }
  XmlTree tree;
  ASSERT_TRUE(tree.Load("<r><x>1</x></r>"));
  EXPECT_FALSE(tree.Load("<broken"));
  EXPECT_EQ(tree.Text("r/x"), "") << "a failed load leaves nothing of the old document";
  // A document-type entity is never expanded.
  ASSERT_TRUE(tree.Load("<!DOCTYPE r [<!ENTITY a \"boom\">]><r>&a;</r>"));
  EXPECT_EQ(tree.Text("r"), "&a;");
}

}  // namespace
}  // namespace mm
