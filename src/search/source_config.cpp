#include "search/source_config.h"

#include "util/encoding.h"
#include "util/ini_file.h"
#include "util/program_directory.h"
#include "util/text.h"

namespace mm {

namespace {

// Section and key names are program text (code page 936), as the file's text is once read.
std::string ReadConfigValue(const std::string& section, const std::string& key) {
  return ReadIniString(SourceConfigPath(), section, key);
}

}  // namespace

std::filesystem::path SourceConfigPath() {
  // The file name is UTF-8 on Linux; on Windows the path converts it to the wide form.
  return ProgramDirectory() / std::filesystem::path(u8"源站配置.ini");
}

int ReadSourceCount() { return ToInteger(ReadConfigValue(Gbk("源站配置"), Gbk("数量"))); }

SourceSite ReadSourceSite(int number) {
  std::string line = ReadConfigValue(Gbk("源站"), std::to_string(number));
  return SourceSite{TextBefore(line, "|"), TextAfterLast(line, "|")};
}

std::string ReadParsePrefix() { return ReadConfigValue(Gbk("源站配置"), Gbk("解析地址")); }

}  // namespace mm
