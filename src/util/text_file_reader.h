#pragma once
// Reads a text file that a user or another program may have saved in any of the usual
// encodings and hands it back as program text (code page 936).

#include <filesystem>
#include <string>

#include "util/text.h"

namespace mm {

// The whole file as it lies on disk. False (and `bytes` empty) when it is missing, is not a
// regular file (a directory, a pipe that would block) or cannot be read.
bool ReadFileBytes(const std::filesystem::path& file, Bytes& bytes);

// The whole file as code-page-936 text. The encoding is decided in this order: a UTF-8
// byte-order mark, a UTF-16 LE or BE byte-order mark, then UTF-8 without a mark when the whole
// file is strictly valid UTF-8 with at least one non-ASCII byte and it either converts without
// loss or holds Chinese characters (short code-page-936 text can be valid UTF-8 by chance, but
// then reads as foreign letters that code page 936 lacks). Anything else is taken as code page
// 936 and returned unchanged. Marks are dropped; every other byte keeps its place, so LF and
// CR LF line ends come out exactly as they went in, and so do zero bytes. A missing or
// unreadable file gives empty text.
std::string ReadTextFile(const std::filesystem::path& file);

// The same decision for bytes already in memory.
std::string DecodeText(std::string_view bytes);

}  // namespace mm
