#pragma once
// A one-way signal that ends blocking work early: a newer search supersedes an older one, and
// shutdown stops every worker before the program-wide objects go away. Requests in flight
// subscribe a wake-up so that Abort() ends them at once rather than at their next time-out.

#include <atomic>
#include <functional>
#include <map>
#include <mutex>

namespace mm {

class AbortSignal {
 public:
  AbortSignal() = default;
  AbortSignal(const AbortSignal&) = delete;
  AbortSignal& operator=(const AbortSignal&) = delete;

  // Sets the signal and calls every subscribed wake-up once. Later calls do nothing.
  void Abort();
  bool IsAborted() const { return aborted_.load(std::memory_order_acquire); }

  // The wake-up runs on the thread that calls Abort(), or at once on this thread when the signal
  // is already set. It must be quick and must not subscribe or unsubscribe itself. Returns a token for Unsubscribe; it must be unsubscribed before it dies.
  int Subscribe(std::function<void()> wake) const;
  void Unsubscribe(int token) const;

 private:
  std::atomic<bool> aborted_{false};
  mutable std::mutex mutex_;
  mutable std::map<int, std::function<void()>> wakers_;
  mutable int nextToken_ = 1;
};

// Subscribes for the lifetime of a scope; a null signal subscribes nothing.
class AbortSubscription {
 public:
  AbortSubscription(const AbortSignal* signal, std::function<void()> wake);
  ~AbortSubscription();
  AbortSubscription(const AbortSubscription&) = delete;
  AbortSubscription& operator=(const AbortSubscription&) = delete;

 private:
  const AbortSignal* signal_;
  int token_ = 0;
};

}  // namespace mm
