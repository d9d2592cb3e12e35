#include "util/json_document.h"

#include <gtest/gtest.h>

#include "util/encoding.h"

namespace mm {
namespace {

TEST(JsonNumberText, WrittenAsJavaScriptWritesThem) {
  const std::pair<double, const char*> cases[] = {
      {2.50, "2.5"},      {1e21, "1e+21"},      {1e-7, "1e-7"},  {0.1 + 0.2, "0.30000000000000004"},
      {100, "100"},       {-0.0, "0"},          {123456789012345680000.0, "123456789012345680000"},
      {0.000001, "0.000001"}, {1.5e-10, "1.5e-10"}, {-42.25, "-42.25"}, {1e300, "1e+300"},
  };
  for (const auto& [value, text] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(JavaScriptNumberText(value), text);
  }
}

TEST(JsonDocument, GetTextRules) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse(Gbk(R"({"total":5,"s":"5","f":2.50,"t":true,"n":null,"arr":[1,[2,3]],)"
                            R"("holes":[1,null,"x"],"o":{},"e":1e21,"tiny":1e-7,"sum":0.30000000000000004,)"
                            R"("page":{"recordcount":"35","pagecount":2},)"
                            R"("data":[{"vod_name":"名字","vod_id":1}],"da":"member da"})")));
  const std::pair<const char*, std::string> cases[] = {
      {"total", "5"},
      {"s", "5"},
      {"f", "2.5"},
      {"t", "true"},
      {"n", ""},
      {"arr", "1,2,3"},
      {"holes", "1,,x"},
      {"o", "[object Object]"},
      {"e", "1e+21"},
      {"tiny", "1e-7"},
      {"sum", "0.30000000000000004"},
      {"missing", ""},
      {"missing.deeper", ""},
      {"page.recordcount", "35"},
      {"da.page.recordcount", "35"},
      {"['page']['pagecount']", "2"},
      {"da['page'].pagecount", "2"},
      {"data[0]['vod_name']", "名字"},
      {"data[0].vod_id", "1"},
      {"data[1]['vod_name']", ""},
      {"data[x]", ""},
      {"", "[object Object]"},
      {"da", "[object Object]"},
  };
  for (const auto& [path, text] : cases) {
    SCOPED_TRACE(path);
    EXPECT_EQ(doc.GetText(path), Gbk(text));
  }
  EXPECT_EQ(doc.GetText("arr", true), "[1,[2,3]]");
  EXPECT_EQ(doc.GetText("n", true), "null");
  EXPECT_EQ(doc.GetText("missing", true), "");
}

TEST(JsonDocument, ParseResults) {
  const std::pair<std::string, bool> cases[] = {
      {"null", false},      {"{}", true},          {"", false},           {"[1,2]", true},
      {"\"text\"", true},   {"{\"a\":", false},   {"{'a':1}", false},     {"{\"a\":1} trailing", false},
      {"alert(1)", false},  {"5", true},
  };
  for (const auto& [text, ok] : cases) {
    SCOPED_TRACE(text);
    JsonDocument doc;
    EXPECT_EQ(doc.Parse(text), ok);
  }
  JsonDocument doc;
  ScriptErrorInfo error;
  EXPECT_FALSE(doc.Parse("{\"a\":", false, &error));
  EXPECT_NE(error.Number, 0);
  EXPECT_EQ(doc.GetText("a"), "");
  EXPECT_TRUE(doc.Parse("{\"a\":1}", true, &error));
  EXPECT_EQ(error.Number, 0);
}

TEST(JsonDocument, BackslashesAndTheU2400Rule) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse(R"({"p":"a\u2400b","q":"c\\d"})"));
  EXPECT_EQ(doc.GetText("p"), "a\\b");
  EXPECT_EQ(doc.GetText("q"), "c\\d");
  ASSERT_TRUE(doc.SetValue("path", "C:\\dir\\file"));
  EXPECT_EQ(doc.GetText("path"), "C:\\dir\\file");
  EXPECT_EQ(doc.GetJson("path"), "\"C:\\dir\\file\"") << "stored as U+2400, read back as backslashes";
  // A GBK character whose second byte is 0x5C is one character, not an escape.
  std::string gbk = Gbk("表");  // B1 ED
  std::string withTrail5C = "\x95\x5C";  // a real GBK character ending in 0x5C
  ASSERT_TRUE(doc.Parse("{\"t\":\"" + withTrail5C + gbk + "\"}"));
  EXPECT_EQ(doc.GetText("t"), withTrail5C + gbk);
}

TEST(JsonDocument, JsonOutputEscapes) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse(Gbk(R"({"s":"q\"b\\t\tn\nr\rf\fbs\b\u0001\u007f\u00ad\u200d\u2028\ufeff\u00e9\ud83d\ude00中","n":[1.5,true,null]})")));
  EXPECT_EQ(doc.ToJson(),
            "{\"s\":\"q\\\"b\\\\t\\tn\\nr\\rf\\fbs\\b\\u0001\\u007f\\u00ad\\u200d\\u2028\\ufeff" + Gbk("é") + "?" + Gbk("中") +
                "\",\"n\":[1.5,true,null]}");
}

TEST(JsonDocument, TypeOfCountMembersAndLeaves) {
  JsonDocument doc;
  ASSERT_TRUE(doc.Parse(Gbk(R"({"s":"x","a":[1,2,{"k":"v"}],"o":{"b":1,"名":2},"n":3,"t":false,"z":null})")));
  const std::pair<const char*, int> types[] = {{"missing", 0}, {"z", 0}, {"s", 6}, {"a", 5},
                                               {"o", 4},       {"n", 2}, {"t", 1}, {"", 4}};
  for (const auto& [path, type] : types) {
    SCOPED_TRACE(path);
    EXPECT_EQ(doc.TypeOf(path), type);
  }
  EXPECT_EQ(doc.Count("a"), 3);
  EXPECT_EQ(doc.Count("o"), 0);
  std::vector<std::string> names;
  EXPECT_EQ(doc.MemberNames(names, "o"), 2);
  EXPECT_EQ(names, (std::vector<std::string>{"b", Gbk("名")}));
  EXPECT_EQ(doc.MemberNames(names, "a"), 0);
  std::vector<std::string> leaves;
  EXPECT_EQ(doc.LeafValues(leaves, "a", false), 2);
  EXPECT_EQ(leaves, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(doc.LeafValues(leaves, "", true), 8);
  EXPECT_EQ(leaves, (std::vector<std::string>{"x", "1", "2", "v", "1", "2", "3", "false"}));
  EXPECT_TRUE(doc.Exists("o.b"));
  EXPECT_FALSE(doc.Exists("z"));
  std::string path = "data[0]";
  EXPECT_FALSE(doc.NormalizePath(path));
  EXPECT_EQ(path, "da.data[0]");
  path = "da.s";
  EXPECT_TRUE(doc.NormalizePath(path));
  EXPECT_EQ(path, "da.s");
  path = "['s']";
  EXPECT_TRUE(doc.NormalizePath(path));
  EXPECT_EQ(path, "da['s']");
}

TEST(JsonDocument, Changes) {
  JsonDocument doc;
  EXPECT_EQ(doc.ToJson(), "{}");
  EXPECT_TRUE(doc.SetValue("name", Gbk("客厅电视")));
  EXPECT_TRUE(doc.SetValue("obj", R"({"a":"1","inner":{"x":1}})", true));
  EXPECT_TRUE(doc.SetValue("obj", R"({"a":"2","b":true,"inner":{"y":2}})", true));
  EXPECT_EQ(doc.GetJson("obj"), R"({"a":"2","inner":{"x":1,"y":2},"b":true})");
  EXPECT_FALSE(doc.SetValue("no.parent", "x"));
  EXPECT_TRUE(doc.SetNumber("num", 2.5));
  EXPECT_DOUBLE_EQ(doc.GetNumber("num"), 2.5);
  EXPECT_TRUE(doc.SetValue("numtext", "12"));
  EXPECT_DOUBLE_EQ(doc.GetNumber("numtext"), 12);
  EXPECT_DOUBLE_EQ(doc.GetNumber("name"), 0);
  EXPECT_TRUE(doc.Append("a", "list"));
  EXPECT_TRUE(doc.Append("{\"k\":1}", "list", true));
  EXPECT_TRUE(doc.Append("first", "list", false, true));
  EXPECT_EQ(doc.GetJson("list"), R"(["first","a",{"k":1}])");
  EXPECT_EQ(doc.GetElementText(1, "list"), "a");
  EXPECT_EQ(doc.GetElementText(2, "list"), "");
  EXPECT_EQ(doc.GetElementText(2, "list", true), R"({"k":1})");
  EXPECT_TRUE(doc.SetElement(0, "list", "[1]", true));
  EXPECT_TRUE(doc.RemoveElement(1, "list"));
  EXPECT_EQ(doc.GetJson("list"), R"([[1],{"k":1}])");
  JsonDocument element = doc.GetElementDocument(1, "list");
  EXPECT_EQ(element.GetText("k"), "1");
  JsonDocument part = doc.GetDocument("obj.inner");
  EXPECT_EQ(part.ToJson(), R"({"x":1,"y":2})");
  EXPECT_TRUE(doc.Remove("obj"));
  EXPECT_EQ(doc.TypeOf("obj"), 0);
  EXPECT_TRUE(doc.SetByExpression("expr", "[1,2]"));
  EXPECT_EQ(doc.GetText("expr"), "1,2");
  EXPECT_TRUE(doc.SetValue("expr", "", true));
  EXPECT_EQ(doc.TypeOf("expr"), 0);
  JsonDocument shared = doc;  // a copy is a second reference
  shared.SetValue("viaCopy", "1");
  EXPECT_EQ(doc.GetText("viaCopy"), "1");
  doc.Engine().SetValue("viaEngine", "2");
  EXPECT_EQ(doc.GetText("viaEngine"), "2");
  EXPECT_TRUE(doc.Clear());
  EXPECT_EQ(doc.ToJson(), "{}");
}

TEST(JsonDocument, HostileTextsNeverCrash) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  const std::string cases[] = {
      deep,
      "{\"a\":" + deep + "}",
      std::string(100000, '['),
      "{\"a\":\"\xFF\xFE\x80\"}",
      "{\"a\":\"" + std::string(5 << 20, 'x') + "\"}",
      std::string("{\"a\":\"x\0y\"}", 12),
  };
  for (const std::string& text : cases) {
    JsonDocument doc;
    doc.Parse(text);
    doc.GetText("a");
    doc.GetText("");
    doc.ToJson();
    std::vector<std::string> leaves;
    doc.LeafValues(leaves, "", true);
  }
  JsonDocument ok;
  EXPECT_TRUE(ok.Parse(std::string(500, '[') + std::string(500, ']')));
  EXPECT_EQ(ok.GetText(""), "");
}

}  // namespace
}  // namespace mm
