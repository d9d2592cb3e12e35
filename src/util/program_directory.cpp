#include "util/program_directory.h"

#include <mutex>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace mm {

namespace {

std::mutex gMutex;
std::filesystem::path gOverride;

std::filesystem::path ExecutableDirectory() {
#ifdef _WIN32
  wchar_t buffer[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  return std::filesystem::path(std::wstring(buffer, n)).parent_path();
#else
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec);
  return exe.parent_path();
#endif
}

}  // namespace

std::filesystem::path ProgramDirectory() {
  {
    std::lock_guard lock(gMutex);
    if (!gOverride.empty()) return gOverride;
  }
  static const std::filesystem::path directory = ExecutableDirectory();
  return directory;
}

void OverrideProgramDirectory(const std::filesystem::path& directory) {
  std::lock_guard lock(gMutex);
  gOverride = directory;
}

}  // namespace mm
