#pragma once
// A read/write lock: many readers at once or one writer alone; readers wait while a write is
// in progress. The device registry is its one user.

#include <mutex>
#include <shared_mutex>

namespace mm {

class SharedLock {
 public:
  SharedLock() = default;
  SharedLock(const SharedLock&) = delete;
  SharedLock& operator=(const SharedLock&) = delete;

  // Scoped holders of either side.
  using ReadGuard = std::shared_lock<std::shared_mutex>;
  using WriteGuard = std::unique_lock<std::shared_mutex>;
  ReadGuard Read() { return ReadGuard(mutex_); }
  WriteGuard Write() { return WriteGuard(mutex_); }

 private:
  std::shared_mutex mutex_;
};

}  // namespace mm
