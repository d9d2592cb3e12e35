#pragma once
// Episode lists: a title's play text cut into an online group and a file (stream) group, one
// episode a line, written to 分集OL.txt and 分集DL.txt beside the program, and offered in the
// episode box (组合框1) with the chosen episode's two addresses in 编辑框2 and 编辑框3.
//
// The episode files are the hand-over between loading and selecting: every later selection
// reads them again, so they hold the last activated title's lists, also across restarts.
// Files hold program text (code page 936) with CR LF between lines and none after the last.
//
// Everything here runs on the window thread.

#include <filesystem>
#include <string>
#include <string_view>

namespace mm {

class MainForm;

// ProgramDirectory() / "分集OL.txt" and / "分集DL.txt".
std::filesystem::path OnlineEpisodeFile();
std::filesystem::path FileEpisodeFile();

// Empties the episode box and writes both episode files empty. Visibility is not touched.
void ResetEpisodes(MainForm& form);

// Splits `playText`, writes both episode files, sets the episode count and presents the
// episodes: one episode goes straight into the address boxes (a stream address always ends up
// in the file box), two or more fill the episode box and select the first. A title without
// addresses shows "获取播放地址失败！" and leaves the box and the address boxes as they were.
void LoadEpisodes(MainForm& form, const std::string& playText);

// Handler of the episode box's item-selected event: the selected episode's addresses from the
// two files into 编辑框2 and 编辑框3.
void SelectEpisode(MainForm& form);

// Line `n` (from 1) of the file at `path`, lines cut at CR LF; empty for a missing file or a
// line that is not there.
std::string ReadEpisodeLine(const std::filesystem::path& path, int n);

// The text after the last "$" of an episode line; empty when it holds none.
std::string EpisodeAddress(std::string_view line);

// Drops one CR LF at the start and one at the end, then every empty line (and a lone LF that
// ends the text).
std::string TidyEpisodeText(std::string_view text);

// LF bytes, plus one for a last line without LF; 0 for the empty text.
int CountLines(std::string_view text);

// The number of episodes of the title last loaded (0 after a load without addresses).
int EpisodeCount();

}  // namespace mm
