#include "http/abort_signal.h"

namespace mm {

void AbortSignal::Abort() {
  // The wake-ups run under the lock so that Unsubscribe() cannot return (and its owner free what
  // the wake-up touches) while one is still running.
  std::lock_guard lock(mutex_);
  if (aborted_.exchange(true, std::memory_order_acq_rel)) return;
  for (auto& [token, wake] : wakers_) wake();
}

int AbortSignal::Subscribe(std::function<void()> wake) const {
  std::unique_lock lock(mutex_);
  int token = nextToken_++;
  if (aborted_.load(std::memory_order_acquire)) {
    lock.unlock();
    wake();
    return token;
  }
  wakers_.emplace(token, std::move(wake));
  return token;
}

void AbortSignal::Unsubscribe(int token) const {
  std::lock_guard lock(mutex_);
  wakers_.erase(token);
}

AbortSubscription::AbortSubscription(const AbortSignal* signal, std::function<void()> wake)
    : signal_(signal) {
  if (signal_) token_ = signal_->Subscribe(std::move(wake));
}

AbortSubscription::~AbortSubscription() {
  if (signal_) signal_->Unsubscribe(token_);
}

}  // namespace mm
