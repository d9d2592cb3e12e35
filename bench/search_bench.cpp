// Reading one source: a 1 MiB answer from a local server parsed and 20 rows filled, in both of
// the shapes the sites send. Run from the release build: build/release/bench/search_bench.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "search/search_worker.h"
#include "support/memory_form.h"
#include "support/recording_server.h"
#include "util/encoding.h"
#include "util/program_directory.h"
#include "util/xml_tree.h"

namespace mm {
namespace {

// About 1 MiB: 20 items with long synopses and play texts, the way large catalogue pages look.
std::string BigJson() {
  std::string list;
  const std::string synopsis = std::string(28000, 'x') + "中文简介";
  std::string play;
  for (int e = 1; e <= 600; ++e) play += "第" + std::to_string(e) + "集$http://v.example/" + std::to_string(e) + ".m3u8#";
  for (int i = 1; i <= 20; ++i) {
    if (i > 1) list += ",";
    list += "{\"vod_id\":" + std::to_string(i) + ",\"vod_name\":\"名字\",\"vod_content\":\"" + synopsis +
            "\",\"vod_play_url\":\"" + play + "\",\"type_name\":\"剧\",\"type_year\":\"2020\"}";
  }
  return "{\"code\":1,\"page\":1,\"pagecount\":1,\"total\":20,\"list\":[" + list + "]}";
}

std::string BigXml() {
  std::string videos;
  const std::string synopsis = std::string(7500, 'y') + "中文简介";
  std::string play;
  for (int e = 1; e <= 600; ++e) play += "第" + std::to_string(e) + "集$http://v.example/" + std::to_string(e) + ".m3u8#";
  for (int i = 1; i <= 20; ++i) {
    videos += "<video><last>x</last><id>" + std::to_string(i) +
              "</id><tid>1</tid><name><![CDATA[片名]]></name><type>剧情</type><pic>p</pic><lang>l</lang>"
              "<area>a</area><year>2019</year><state>0</state><note><![CDATA[n]]></note><actor><![CDATA[a]]>"
              "</actor><director><![CDATA[d]]></director><dl><dd flag=\"w\"><![CDATA[" + play +
              "]]></dd><dd flag=\"m\"><![CDATA[" + play + "]]></dd></dl><des><![CDATA[" + synopsis +
              "]]></des></video>";
  }
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss version=\"5.1\"><list page=\"1\" pagecount=\"1\" "
         "pagesize=\"20\" recordcount=\"20\">" + videos + "</list></rss>";
}

void ReadOneSource(benchmark::State& state, const std::string& answer) {
  test::RecordingServer server;
  server.Serve("/api", test::CannedResponse{.body = answer});
  auto dir = std::filesystem::temp_directory_path() / "mumian-search-bench";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "源站配置.ini", std::ios::binary)
      << Gbk("[源站配置]\r\n数量=1\r\n[源站]\r\n1=" + server.Url("/api?wd=") + "|s\r\n");
  OverrideProgramDirectory(dir);
  test::MemoryForm form;
  XmlTree xml;
  SearchCounts counts;
  for (auto _ : state) {
    SearchContext context{.form = form, .xml = xml, .counts = counts};
    RunSearch(context);
    if (form.超级列表框1().RowCount() != 20) state.SkipWithError("expected 20 rows");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * answer.size()));
  state.counters["answer_KiB"] = static_cast<double>(answer.size()) / 1024;
  OverrideProgramDirectory({});
  std::filesystem::remove_all(dir);
}

void BM_ReadJsonSource(benchmark::State& state) { ReadOneSource(state, BigJson()); }
void BM_ReadXmlSource(benchmark::State& state) { ReadOneSource(state, BigXml()); }

BENCHMARK(BM_ReadJsonSource)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadXmlSource)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mm

BENCHMARK_MAIN();
