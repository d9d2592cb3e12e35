#pragma once
// Reading values from an INI file the way the platform's private-profile reader does, so a
// configuration file that works with the original program reads the same here.
//
// - Lines end at LF or CR. Blanks (space, tab, the full-width space A1 A1) around a line, a key
//   and a value do not count.
// - "[name]" opens a section; the name runs to the last "]" of the line. Lines before the first
//   section belong to no section and are never found.
// - "key=value": the key is the text before the first "="; a line without "=" is a key without
//   a value, which reads as the default. A line whose first character is ";" is a comment.
// - Section and key names compare without regard to ASCII letter case; other bytes compare
//   exactly. Only the first section of a name is searched, and in it the first line of a key
//   wins.
// - A value enclosed in one pair of matching single or double quotation marks loses them.
// - A value is cut to kIniValueBufferSize - 1 bytes (the reader's buffer holds a terminator),
//   never in the middle of a two-byte character; a zero byte ends it.
//
// The file may be saved as code page 936, UTF-8 (with or without a byte-order mark) or UTF-16
// with a byte-order mark: ReadTextFile's detection turns it into program text first. Section
// and key names are program text too. Nothing is cached: every call reads the file anew.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace mm {

inline constexpr std::size_t kIniValueBufferSize = 10240;

// The value of `key` in `section` of `file`, or `defaultValue` (cut like a value) when the file,
// the section or the key is missing.
std::string ReadIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue = {});

// The same lookup in INI text that is already program text.
std::string FindIniString(std::string_view iniText, std::string_view section,
                          std::string_view key, std::string_view defaultValue = {});

}  // namespace mm
