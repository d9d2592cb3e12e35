#include "app/search_runner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <utility>

namespace mm {

struct SearchRunner::Run {
  std::shared_ptr<RunGate> gate = std::make_shared<RunGate>();
  AbortSignal abort;
  std::unique_ptr<MainForm> form;
  std::unique_ptr<SearchContext> context;
  std::promise<void> done;
  std::shared_future<void> finished = done.get_future().share();
  std::thread thread;

  bool HasFinished() const {
    return finished.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
  }
};

SearchRunner::SearchRunner(FormFactory makeForm, XmlTree& xml, SearchCounts& counts,
                           Worker worker)
    : makeForm_(std::move(makeForm)), xml_(xml), counts_(counts), worker_(std::move(worker)) {}

SearchRunner::~SearchRunner() { StopAll(); }

void SearchRunner::Supersede(Run& run) {
  // The gate first: from here on the window thread drops the run's calls, so its abort-driven
  // ending writes nothing.
  run.gate->Shut();
  run.abort.Abort();
}

void SearchRunner::PruneFinished() {
  for (auto it = runs_.begin(); it != runs_.end();) {
    if ((*it)->HasFinished()) {
      (*it)->thread.join();
      it = runs_.erase(it);
    } else {
      ++it;
    }
  }
}

void SearchRunner::Start() {
  PruneFinished();
  std::shared_future<void> previous;
  if (!runs_.empty()) {
    Supersede(*runs_.back());
    previous = runs_.back()->finished;
  }
  auto run = std::make_shared<Run>();
  run->form = makeForm_(run->gate);
  run->context = std::make_unique<SearchContext>(
      SearchContext{*run->form, xml_, counts_, &run->abort, timeoutSeconds_});
  // The run stays in runs_ until its thread has been joined, so the raw pointer outlives it.
  Run* self = run.get();
  run->thread = std::thread([self, previous, worker = worker_] {
    if (previous.valid()) previous.wait();
    if (!self->gate->IsShut()) {
      try {
        worker(*self->context);
      } catch (...) {
        // A worker reports nothing; an escaping exception must not end the program.
      }
    }
    self->done.set_value();
  });
  runs_.push_back(std::move(run));
}

void SearchRunner::StopAll() {
  for (auto& run : runs_) Supersede(*run);
  for (auto& run : runs_) {
    // A worker may be waiting in a call to the window thread; serve it (the gate makes the call
    // do nothing) so that it can see the abort and end.
    while (!run->HasFinished()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
      run->finished.wait_for(std::chrono::milliseconds(5));
    }
    run->thread.join();
  }
  runs_.clear();
}

int SearchRunner::ActiveRuns() const {
  int active = 0;
  for (const auto& run : runs_) active += run->HasFinished() ? 0 : 1;
  return active;
}

}  // namespace mm
