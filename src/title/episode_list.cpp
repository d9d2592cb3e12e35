#include "title/episode_list.h"

#include <atomic>
#include <fstream>

#include "form/main_form.h"
#include "util/encoding.h"
#include "util/program_directory.h"
#include "util/regex_engine.h"
#include "util/text.h"
#include "util/text_file_reader.h"

namespace mm {

namespace {

// Written by LoadEpisodes on the window thread; atomic only so that a reader elsewhere never
// sees a torn value.
std::atomic<int> gEpisodeCount{0};

const std::string& EpisodeMarker() {
  static const std::string marker = Gbk("第");
  return marker;
}
const std::string& GroupedEpisodeMarker() {
  static const std::string marker = Gbk("#第");
  return marker;
}

// A file that cannot be written is not reported: the count read back from it decides.
void WriteEpisodeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Some sites put raw line breaks into their play texts, often a lone LF. The files count lines
// by LF but cut them at CR LF, and the tidy step turns "LF CR LF" into a lone LF, so a lone
// break would make two counted episodes out of one line and give episode 1 the address of
// episode 2. Every lone CR or LF becomes CR LF first; text with CR LF breaks only is unchanged.
std::string NormalizeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t len = CharLength(text, pos);
    char c = text[pos];
    if (len == 1 && c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
      out += "\r\n";
      len = 2;
    } else if (len == 1 && (c == '\r' || c == '\n')) {
      out += "\r\n";
    } else {
      out.append(text, pos, len);
    }
    pos += len;
  }
  return out;
}

std::string EpisodeItemText(int number) {
  static const std::string before = Gbk("第 ");
  static const std::string after = Gbk(" 集");
  return before + std::to_string(number) + after;
}

}  // namespace

std::filesystem::path OnlineEpisodeFile() {
  return ProgramDirectory() / std::filesystem::path(u8"分集OL.txt");
}

std::filesystem::path FileEpisodeFile() {
  return ProgramDirectory() / std::filesystem::path(u8"分集DL.txt");
}

void ResetEpisodes(MainForm& form) {
  form.组合框1().ClearItems();
  WriteEpisodeFile(OnlineEpisodeFile(), {});
  WriteEpisodeFile(FileEpisodeFile(), {});
}

std::string ReadEpisodeLine(const std::filesystem::path& path, int n) {
  if (n < 1) return {};
  Bytes bytes;
  if (!ReadFileBytes(path, bytes)) return {};
  // Lines are cut at every CR LF that starts on a character boundary; an empty piece between
  // two breaks is a line, the rest after the last break only when it is not empty.
  int line = 1;
  std::size_t lineStart = 0;
  for (std::size_t pos = 0; pos < bytes.size();) {
    if (bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n') {
      if (line == n) return bytes.substr(lineStart, pos - lineStart);
      ++line;
      pos += 2;
      lineStart = pos;
      continue;
    }
    pos += CharLength(bytes, pos);
  }
  if (line == n && lineStart < bytes.size()) return bytes.substr(lineStart);
  return {};
}

std::string EpisodeAddress(std::string_view line) { return TextAfterLast(line, "$"); }

std::string TidyEpisodeText(std::string_view text) {
  std::string_view rest = text;
  if (StartsWith(rest, "\r\n")) rest.remove_prefix(2);
  if (EndsWith(rest, "\r\n")) rest.remove_suffix(2);
  RegexEngine engine;
  engine.Search("(?:^\\r|\\n$)", std::string(rest));
  return engine.Replace("");
}

int CountLines(std::string_view text) {
  int lines = 0;
  for (char c : text) {
    if (c == '\n') ++lines;
  }
  if (!text.empty() && text.back() != '\n') ++lines;
  return lines;
}

int EpisodeCount() { return gEpisodeCount.load(); }

void LoadEpisodes(MainForm& form, const std::string& playText) {
  // Groups: the online one before the first "$$$", the file one after the last; one group
  // serves as both.
  std::string text = NormalizeLineBreaks(playText);
  std::string online = text;
  std::string file = text;
  if (Contains(text, "$$$")) {
    online = TextBefore(text, "$$$");
    file = TextAfterLast(text, "$$$");
  }

  // Episode line breaks: "#第" only when both groups have it, so that one marker serves both.
  const std::string& marker = Contains(online, GroupedEpisodeMarker()) &&
                                      Contains(file, GroupedEpisodeMarker())
                                  ? GroupedEpisodeMarker()
                                  : EpisodeMarker();
  online = TidyEpisodeText(ReplaceAll(online, marker, "\r\n"));
  file = TidyEpisodeText(ReplaceAll(file, marker, "\r\n"));

  WriteEpisodeFile(OnlineEpisodeFile(), online);
  WriteEpisodeFile(FileEpisodeFile(), file);

  // The count comes from the files as written, so a file that could not be written counts as
  // no addresses.
  int count = CountLines(ReadTextFile(FileEpisodeFile()));
  if (count == 0) count = CountLines(ReadTextFile(OnlineEpisodeFile()));
  gEpisodeCount.store(count);
  if (count == 0) {
    form.ShowMessage(Gbk("获取播放地址失败！"));
    return;
  }

  if (count == 1) {
    form.标签13().SetVisible(false);
    form.组合框1().SetVisible(false);
    std::string onlineAddress = EpisodeAddress(ReadEpisodeLine(OnlineEpisodeFile(), 1));
    std::string fileAddress = EpisodeAddress(ReadEpisodeLine(FileEpisodeFile(), 1));
    // A stream address in the online group belongs in the file box, where Copy and Cast look.
    if (EndsWith(onlineAddress, ".m3u8")) std::swap(onlineAddress, fileAddress);
    form.编辑框2().SetText(onlineAddress);
    form.编辑框3().SetText(fileAddress);
    return;
  }

  form.标签13().SetVisible(true);
  form.组合框1().SetVisible(true);
  ComboBox& box = form.组合框1();
  for (int number = 1; number <= count; ++number) box.AddItem(EpisodeItemText(number), number);
  box.SetCurrentIndex(0);
  SelectEpisode(form);
}

void SelectEpisode(MainForm& form) {
  int n = form.组合框1().CurrentIndex() + 1;
  form.编辑框2().SetText(EpisodeAddress(ReadEpisodeLine(OnlineEpisodeFile(), n)));
  form.编辑框3().SetText(EpisodeAddress(ReadEpisodeLine(FileEpisodeFile(), n)));
}

}  // namespace mm
