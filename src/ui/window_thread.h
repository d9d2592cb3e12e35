#pragma once
// Carries calls from worker threads over to the window thread. A worker that changes or reads a
// control waits until the window thread has done it, so its calls take effect in the order it
// made them. Two things make a call do nothing instead: the window is closing (so a worker never
// waits for a window thread that is itself waiting for the workers), or the call belongs to a
// run that a newer one has superseded (checked on the window thread, right before the call runs,
// so no late write slips in after the newer run has started).

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

class QObject;

namespace mm {

// Shut once, by the window thread, when the run it belongs to has been superseded.
class RunGate {
 public:
  void Shut() { shut_.store(true, std::memory_order_release); }
  bool IsShut() const { return shut_.load(std::memory_order_acquire); }

 private:
  std::atomic<bool> shut_{false};
};

class WindowThread {
 public:
  // Must be created on the window thread, and must outlive every thread that calls it.
  WindowThread();
  ~WindowThread();
  WindowThread(const WindowThread&) = delete;
  WindowThread& operator=(const WindowThread&) = delete;

  bool IsCurrent() const;

  // Runs `call` on the window thread and returns when it has run (or been dropped). `gate` may
  // be null: calls of the program-wide form are never superseded.
  void Run(const RunGate* gate, const std::function<void()>& call) const;

  // Run() for a call with a result; `fallback` when the call was dropped.
  template <class Result, class Call>
  Result Get(const RunGate* gate, Result fallback, Call&& call) const {
    Result result = std::move(fallback);
    Run(gate, [&] { result = call(); });
    return result;
  }

  // Queues `task` on the window thread after what is queued already, without waiting. The
  // task may run after its poster is gone, so it holds on to the gate itself.
  void Post(std::shared_ptr<const RunGate> gate, std::function<void()> task) const;

  // From now on every call and every queued task is dropped. Called by the window thread when
  // the window has closed, before it waits for the workers.
  void BeginClosing();
  bool IsClosing() const { return closing_.load(std::memory_order_acquire); }

 private:
  bool Open(const RunGate* gate) const { return !IsClosing() && !(gate && gate->IsShut()); }

  std::unique_ptr<QObject> anchor_;  // lives on the window thread; receives the queued calls
  std::atomic<bool> closing_{false};
};

}  // namespace mm
