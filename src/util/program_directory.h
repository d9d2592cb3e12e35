#pragma once
// The directory that holds the running executable. The INI file and the episode files live
// there, never in the working directory.

#include <filesystem>

namespace mm {

std::filesystem::path ProgramDirectory();

// Tests point the program at a directory of their own; an empty path restores the default.
void OverrideProgramDirectory(const std::filesystem::path& directory);

}  // namespace mm
