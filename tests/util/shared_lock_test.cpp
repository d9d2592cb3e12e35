#include "util/shared_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace mm {
namespace {

TEST(SharedLock, ReadersShareWritersExclude) {
  SharedLock lock;
  {
    auto a = lock.Read();
    auto b = lock.Read();
    EXPECT_TRUE(a.owns_lock() && b.owns_lock());
  }
  // A reader waits while a write is in progress.
  std::atomic<bool> readerIn{false};
  std::thread reader;
  {
    auto w = lock.Write();
    reader = std::thread([&] {
      auto r = lock.Read();
      readerIn = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(readerIn);
  }
  reader.join();
  EXPECT_TRUE(readerIn);
}

}  // namespace
}  // namespace mm
