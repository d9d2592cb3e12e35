#include "title/title_details.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "form/main_form.h"
#include "http/abort_signal.h"
#include "http/http_request.h"
#include "search/result_row.h"
#include "title/episode_list.h"
#include "util/encoding.h"

namespace mm {

namespace {

// The cells of the activated row, read when it was activated: the list may be refilled by a
// new search before the poster arrives.
struct TitleRow {
  std::string poster;
  DetailTexts texts;
  std::string playText;
};

TitleRow ReadSelectedRow(ListView& list, int row) {
  namespace col = result_column;
  return TitleRow{list.Cell(row, col::kPoster),
                  DetailTexts{list.Cell(row, col::kSynopsis), list.Cell(row, col::kDirector),
                              list.Cell(row, col::kActors), list.Cell(row, col::kGenreYear),
                              list.Cell(row, col::kAreaLanguage), list.Cell(row, col::kDuration),
                              list.Cell(row, col::kRemarks)},
                  list.Cell(row, col::kPlayText)};
}

// Poster first, then the synopsis and the labels, then the episodes.
void ApplyDetails(MainForm& form, const TitleRow& row, const Bytes& poster) {
  if (poster.empty()) {
    form.图片框1().ClearPicture();
  } else {
    form.图片框1().SetPicture(poster);  // bytes that do not decode leave the box blank
  }
  ShowDetailTexts(form, row.texts);
  LoadEpisodes(form, row.playText);
}

}  // namespace

void ShowDetailTexts(MainForm& form, const DetailTexts& texts) {
  form.标签10().SetText(texts.synopsis);
  form.标签2().SetText(Gbk("导演：") + texts.director);
  form.标签3().SetText(Gbk("主演：") + texts.actors);
  form.标签4().SetText(Gbk("类型：") + texts.genreYear);
  form.标签5().SetText(Gbk("地区语言：") + texts.areaLanguage);
  form.标签7().SetText(Gbk("时长：") + texts.duration);
  form.标签9().SetText(Gbk("备注：") + texts.remarks);
}

struct TitleDetails::Shared {
  struct Job {
    std::uint64_t generation;
    TitleRow row;
  };

  MainForm& form;
  int timeoutSeconds;
  std::mutex mutex;
  std::condition_variable wake;
  std::uint64_t generation = 0;  // of the latest activation; older results are dropped
  std::optional<Job> pending;
  AbortSignal* inFlight = nullptr;  // the running request's signal, while it runs
  bool stopping = false;

  Shared(MainForm& f, int timeout) : form(f), timeoutSeconds(timeout) {}

  // Under `mutex`: whatever runs or waits now belongs to an older activation.
  void SupersedeLocked() {
    ++generation;
    pending.reset();
    if (inFlight) inFlight->Abort();
  }

  bool IsCurrent(std::uint64_t g) {
    std::lock_guard lock(mutex);
    return !stopping && g == generation;
  }
};

namespace {

void FetchLoop(const std::shared_ptr<TitleDetails::Shared>& shared) {
  for (;;) {
    AbortSignal abort;
    TitleDetails::Shared::Job job;
    {
      std::unique_lock lock(shared->mutex);
      shared->wake.wait(lock, [&] { return shared->stopping || shared->pending.has_value(); });
      if (shared->stopping) return;
      job = std::move(*shared->pending);
      shared->pending.reset();
      shared->inFlight = &abort;
    }
    Bytes poster = HttpRequest(
        {.url = job.row.poster, .method = 0, .timeout = shared->timeoutSeconds, .abort = &abort});
    {
      std::lock_guard lock(shared->mutex);
      shared->inFlight = nullptr;
      if (shared->stopping) return;
      if (job.generation != shared->generation) continue;
    }
    // Checked again on the window thread: an activation or a shutdown may come in between.
    shared->form.PostToWindowThread(
        [shared, job = std::move(job), poster = std::move(poster)] {
          if (shared->IsCurrent(job.generation)) ApplyDetails(shared->form, job.row, poster);
        });
  }
}

}  // namespace

TitleDetails::TitleDetails(MainForm& form, int posterTimeoutSeconds)
    : shared_(std::make_shared<Shared>(form, posterTimeoutSeconds)) {
  worker_ = std::thread(FetchLoop, shared_);
}

TitleDetails::~TitleDetails() { Shutdown(); }

void TitleDetails::ShowTitleDetails() {
  MainForm& form = shared_->form;
  int row = form.超级列表框1().SelectedRow();
  if (row < 0) return;
  TitleRow title = ReadSelectedRow(form.超级列表框1(), row);

  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->stopping) return;
    shared_->SupersedeLocked();
  }
  ResetEpisodes(form);
  if (title.poster.empty()) {
    ApplyDetails(form, title, {});  // nothing to fetch: the details follow at once
    return;
  }
  {
    std::lock_guard lock(shared_->mutex);
    shared_->pending = Shared::Job{shared_->generation, std::move(title)};
  }
  shared_->wake.notify_one();
}

void TitleDetails::CancelPending() {
  std::lock_guard lock(shared_->mutex);
  shared_->SupersedeLocked();
}

void TitleDetails::Shutdown() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stopping = true;
    shared_->pending.reset();
    if (shared_->inFlight) shared_->inFlight->Abort();
  }
  shared_->wake.notify_one();
  if (worker_.joinable()) worker_.join();
}

}  // namespace mm
