// Loading the episodes of a long series: a play text of 5,000 episodes in each of two groups is
// split, tidied, written to both episode files, counted and put into the episode box of the
// in-memory form. Run from the release build: build/release/bench/episode_list_bench.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "support/memory_form.h"
#include "title/episode_list.h"
#include "util/encoding.h"
#include "util/program_directory.h"

namespace mm {
namespace {

std::string PlayText(int episodes) {
  std::string online, file;
  for (int e = 1; e <= episodes; ++e) {
    std::string n = std::to_string(e);
    if (e > 1) {
      online += "#";
      file += "#";
    }
    online += "第" + n + "集$https://v.example.com/play/12345-1-" + n + ".html";
    file += "第" + n + "集$https://cdn.example.com/20240101/abcdef" + n + "/index.m3u8";
  }
  return Gbk(online + "$$$" + file);
}

void BM_LoadEpisodes(benchmark::State& state) {
  const int episodes = static_cast<int>(state.range(0));
  const std::string playText = PlayText(episodes);
  auto dir = std::filesystem::temp_directory_path() / "mumian-episode-bench";
  std::filesystem::create_directories(dir);
  OverrideProgramDirectory(dir);
  std::unique_ptr<test::MemoryForm> form;
  for (auto _ : state) {
    // A fresh box each round, as after ResetEpisodes; making it and dropping the last one are
    // not part of a load.
    state.PauseTiming();
    form = std::make_unique<test::MemoryForm>();
    state.ResumeTiming();
    LoadEpisodes(*form, playText);
    if (EpisodeCount() != episodes || form->组合框1().ItemCount() != episodes) {
      state.SkipWithError("wrong episode count");
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * playText.size()));
  state.counters["play_text_KiB"] = static_cast<double>(playText.size()) / 1024;
  OverrideProgramDirectory({});
  std::filesystem::remove_all(dir);
}

BENCHMARK(BM_LoadEpisodes)->Arg(5000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mm

BENCHMARK_MAIN();
