#include "util/key_value_table.h"

#include <gtest/gtest.h>

#include "util/encoding.h"

namespace mm {
namespace {

TEST(KeyValueTable, KeysPathsAndJson) {
  KeyValueTable service = KeyValueTable::FromArguments({"serviceType", "urn:avt", "controlURL", "/ctl"});
  ValueList services;
  services.Append(KeyValueTable::FromArguments({"controlURL", "/first"}));
  services.Append(service);
  KeyValueTable device = KeyValueTable::FromArguments({"name", Gbk("客厅"), "location"});
  device.Set("service", services);
  device.Set("port", 49152LL);
  EXPECT_EQ(device.Keys(), (std::vector<std::string>{"name", "location", "service", "port"}));
  EXPECT_EQ(device.GetText("location"), "");
  EXPECT_EQ(device.GetPathText("//service[2].controlURL"), "/ctl");
  EXPECT_EQ(device.GetPathText("//service[1].controlURL"), "/first");
  EXPECT_EQ(device.GetPathText("//service[3].controlURL"), "");
  EXPECT_EQ(device.GetPathText("//name"), Gbk("客厅"));
  EXPECT_EQ(device.GetPathText("name"), "");
  EXPECT_EQ(device.ListCount("service"), 2);
  EXPECT_EQ(device.ListCount("name"), 0);
  EXPECT_EQ(device.GetText("port"), "49152");

  std::string json = device.ToJson();
  EXPECT_EQ(json, Gbk(R"({"name":"客厅","location":"","service":[{"controlURL":"/first"},)"
                      R"({"serviceType":"urn:avt","controlURL":"/ctl"}],"port":49152})"));
  KeyValueTable back;
  ASSERT_TRUE(back.FromJson(json));
  EXPECT_EQ(back.ToJson(), json);
  EXPECT_FALSE(back.FromJson("[1]"));
  EXPECT_EQ(back.Size(), 0u);

  KeyValueTable copy = device;  // deep
  copy.SetText("name", "other");
  EXPECT_EQ(device.GetText("name"), Gbk("客厅"));

  ValueList registry;
  registry.Append(device);
  KeyValueTable out;
  EXPECT_TRUE(registry.CopyOut(1, out));
  EXPECT_EQ(out.GetPathText("//service[2].controlURL"), "/ctl");
  EXPECT_FALSE(registry.CopyOut(2, out));
  EXPECT_EQ(registry.GetText(1, "name"), Gbk("客厅"));
  EXPECT_EQ(registry.GetText(0, "name"), "");
  registry.Clear();
  EXPECT_EQ(registry.Count(), 0);
}

}  // namespace
}  // namespace mm
