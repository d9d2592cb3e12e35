#pragma once
// A fresh directory under the system's temporary directory for one test, removed with
// everything in it when the test ends.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace mm::test {

class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) base = ".";
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::filesystem::path candidate = base / ("mumian-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, ec)) {
        path_ = candidate;
        return;
      }
    }
  }
  ~TemporaryDirectory() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  // Empty when no directory could be made.
  const std::filesystem::path& Path() const { return path_; }

  // Writes `bytes` to the file `name` in the directory, replacing it; true on success.
  bool WriteFile(const std::filesystem::path& name, std::string_view bytes) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
  }

 private:
  std::filesystem::path path_;
};

}  // namespace mm::test
