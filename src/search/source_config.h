#pragma once
// The source-site configuration: 源站配置.ini beside the executable lists the catalogue sites a
// search asks and the parse-service address that Play puts before a stream address. The user
// edits the file; the program only reads it, and reads it anew at every call, so an edit takes
// effect at the next search, the next source of a running search and the next Play.

#include <filesystem>
#include <string>

namespace mm {

// One catalogue site, from a line "query prefix|display name".
struct SourceSite {
  std::string queryPrefix;  // the search URL up to where the keyword is appended
  std::string displayName;  // shown in the result list's 来源 column
};

// ProgramDirectory() / "源站配置.ini".
std::filesystem::path SourceConfigPath();

// Key 数量 of section 源站配置 as an integer; 0 when the file, the section or the key is missing
// or holds no digits. A count of 0 or less means that no source is asked.
int ReadSourceCount();

// Key `number` of section 源站: the text before the first "|" is the query prefix, the text
// after the last "|" the display name. A missing key or a line without "|" gives two empty
// fields.
SourceSite ReadSourceSite(int number);

// Key 解析地址 of section 源站配置; empty when missing.
std::string ReadParsePrefix();

}  // namespace mm
