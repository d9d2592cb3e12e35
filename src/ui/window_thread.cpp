#include "ui/window_thread.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace mm {

WindowThread::WindowThread() : anchor_(std::make_unique<QObject>()) {}

WindowThread::~WindowThread() = default;

bool WindowThread::IsCurrent() const { return QThread::currentThread() == anchor_->thread(); }

void WindowThread::Run(const RunGate* gate, const std::function<void()>& call) const {
  if (IsCurrent()) {
    if (Open(gate)) call();
    return;
  }
  if (!Open(gate)) return;
  // The check is repeated on the window thread: the window may have started closing, or a
  // newer run may have started, while this call waited in the queue.
  QMetaObject::invokeMethod(
      anchor_.get(),
      [&] {
        if (Open(gate)) call();
      },
      Qt::BlockingQueuedConnection);
}

void WindowThread::Post(std::shared_ptr<const RunGate> gate, std::function<void()> task) const {
  if (!Open(gate.get())) return;
  QMetaObject::invokeMethod(
      anchor_.get(),
      [this, gate = std::move(gate), task = std::move(task)] {
        if (Open(gate.get())) task();
      },
      Qt::QueuedConnection);
}

void WindowThread::BeginClosing() { closing_.store(true, std::memory_order_release); }

}  // namespace mm
