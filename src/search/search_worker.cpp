#include "search/search_worker.h"

#include <string>

#include "http/abort_signal.h"
#include "http/http_request.h"
#include "search/result_row.h"
#include "search/source_config.h"
#include "search/xml_answer.h"
#include "util/encoding.h"
#include "util/json_document.h"
#include "util/text.h"
#include "util/xml_tree.h"

namespace mm {

namespace {

// A site contributes at most this many rows, whatever its count says.
constexpr int kRowsPerSource = 20;

class SearchRun {
 public:
  explicit SearchRun(SearchContext& context)
      : form_(context.form), list_(context.form.超级列表框1()), context_(context) {}

  void Run() {
    int sources = ReadSourceCount();
    if (Aborted()) return;
    list_.DeleteAllRows();
    form_.SetTitle(WindowTitlePrefix() + Keyword());
    for (int s = 1; s <= sources; ++s) {
      if (Aborted()) return;
      ReadSource(s);
    }
    if (Aborted()) return;
    context_.counts.rowCount = list_.RowCount();
    form_.SetTitle(WindowTitlePrefix() + Keyword() + Gbk("  共  ") +
                   std::to_string(context_.counts.rowCount) + Gbk("  个资源"));
    form_.图片框2().SetVisible(false);
  }

 private:
  bool Aborted() const { return context_.abort && context_.abort->IsAborted(); }

  // Read afresh each time: a change of the keyword box during a search reaches the sources
  // not yet queried and the final title.
  std::string Keyword() { return form_.编辑框1().Text(); }

  void ReadSource(int number) {
    std::string url = ReadSourceSite(number).queryPrefix + Keyword();
    Bytes answer = HttpRequest(
        {.url = url, .method = 0, .timeout = context_.timeoutSeconds, .abort = context_.abort});
    std::string sourceName = ReadSourceSite(number).displayName;
    if (Aborted()) return;
    if (!answer.empty() && answer[0] == '{') {
      ReadJsonAnswer(answer, sourceName);
    } else {
      ReadXmlAnswer(answer, sourceName);
    }
  }

  // Clamps a source's match count to what it may contribute; false when it adds nothing.
  bool TakeCounts(int records, int pages) {
    context_.counts.recordCount = records > kRowsPerSource ? kRowsPerSource : records;
    context_.counts.pageCount = pages;
    return context_.counts.recordCount >= 1;
  }

  void ReadJsonAnswer(const Bytes& answer, const std::string& sourceName) {
    std::string text = Utf8ToAnsi(answer);
    if (!json_.Parse(text)) return;
    // The two catalogue shapes are told apart by plain text searches over the whole answer,
    // not by the document's structure; a word inside some value counts too.
    bool pageShape = Contains(text, "recordcount", true);
    const char* countPath = pageShape ? "page.recordcount" : "total";
    const char* pagePath = pageShape ? "page.pagecount" : "pagecount";
    if (!TakeCounts(ToInteger(json_.GetText(countPath)), ToInteger(json_.GetText(pagePath)))) {
      return;
    }
    const std::string array = Contains(text, "data\":[{\"vod_id", true) ? "data" : "list";
    const bool hasPlayUrl = Contains(text, "vod_play_url", true);
    for (int j = 1; j <= context_.counts.recordCount; ++j) {
      if (Aborted()) return;
      int row = list_.AppendRow();
      const std::string item = array + "[" + std::to_string(j - 1) + "]['";
      auto field = [&](const char* name) { return json_.GetText(item + name + "']"); };
      using namespace result_column;
      list_.SetCell(row, kName, field("vod_name"));
      list_.SetCell(row, kPoster, field("vod_pic"));
      list_.SetCell(row, kSource, sourceName);
      list_.SetCell(row, kDirector, field("vod_director"));
      list_.SetCell(row, kActors, field("vod_actor"));
      list_.SetCell(row, kGenreYear, field("type_name") + " " + field("type_year"));
      list_.SetCell(row, kAreaLanguage, field("vod_area") + " " + field("vod_lang"));
      list_.SetCell(row, kRemarks, field("vod_remarks"));
      list_.SetCell(row, kSynopsis, field("vod_content"));
      list_.SetCell(row, kDuration, field("vod_duration"));
      list_.SetCell(row, kPlayText, field(hasPlayUrl ? "vod_play_url" : "vod_url"));
    }
  }

  void ReadXmlAnswer(const Bytes& answer, const std::string& sourceName) {
    XmlTree& xml = context_.xml;
    if (!xml.Load(XmlAnswerToProgramText(answer))) return;
    if (!TakeCounts(ToInteger(xml.Attribute("rss/@1", "recordcount")),
                    ToInteger(xml.Attribute("rss/@1", "pagecount")))) {
      return;
    }
    for (int j = 1; j <= context_.counts.recordCount; ++j) {
      if (Aborted()) return;
      int row = list_.AppendRow();
      const std::string item = "rss/@1/@" + std::to_string(j);
      auto child = [&](const char* suffix) { return xml.Text(item + suffix); };
      using namespace result_column;
      list_.SetCell(row, kName, child("/@4"));
      list_.SetCell(row, kPoster, child("/@6"));
      list_.SetCell(row, kSource, sourceName);
      list_.SetCell(row, kDirector, child("/@13"));
      list_.SetCell(row, kActors, child("/@12"));
      list_.SetCell(row, kGenreYear, child("/@5"));
      list_.SetCell(row, kAreaLanguage, child("/@8") + " " + child("/@7"));
      list_.SetCell(row, kRemarks, child("/@11"));
      list_.SetCell(row, kSynopsis, child("/@15"));
      list_.SetCell(row, kPlayText, child("/@14/@1") + "$$$" + child("/@14/@2"));
    }
  }

  MainForm& form_;
  ListView& list_;
  SearchContext& context_;
  JsonDocument json_;  // one per run; every JSON answer of the run is parsed into it in turn
};

}  // namespace

const std::string& WindowTitlePrefix() {
  static const std::string prefix = Gbk("青柚 - 木棉 - ");
  return prefix;
}

void RunSearch(SearchContext& context) {
  SearchRun run(context);
  run.Run();
}

}  // namespace mm
