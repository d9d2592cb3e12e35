#pragma once
// A small regular-expression object for program text: one compiled pattern, the subject last
// searched and the matches found in it, with replace, match and group access.
//
// The dialect is the ECMAScript-style one of the scripting regular-expression object the
// program was written against: letter case ignored unless asked, "^" and "$" at the start and
// end of the text and, in multi-line mode, next to every CR or LF (a CR LF pair is two line
// ends, so "^" matches between its two bytes), "." matching anything but CR and LF, "\uXXXX"
// escapes, and a back-reference to a group that has not matched matching the empty text.
// Matching runs on PCRE2 over the subject converted to UTF-8; everything handed back is code
// page 936 again, and positions are 0-based byte offsets in the code-page-936 subject.
//
// Not for use by two threads at once.

#include <memory>
#include <string>
#include <vector>

namespace mm {

class RegexEngine {
 public:
  RegexEngine();
  ~RegexEngine();
  RegexEngine(const RegexEngine&) = delete;
  RegexEngine& operator=(const RegexEngine&) = delete;

  // Compiles `pattern` and collects its matches in `subject` (all of them when `global`, else the
  // first). With `quoteMarker`, every "#引号" in the pattern stands for one '"', so a caller can
  // write a quote inside a pattern literal. True when the pattern ran, also without a match;
  // false for a pattern that does not compile or a match that fails (it leaves no matches).
  bool Search(const std::string& pattern, const std::string& subject, bool caseSensitive = false,
              bool multiline = true, bool global = true, bool quoteMarker = false);

  // The pattern of the last Search as it was set (after the quote marker was replaced); empty
  // before the first Search.
  std::string GetPattern() const;

  // The stored subject with every stored match replaced by `replacement`, in which "$&" is the
  // match, "$1" to "$99" a group, "$`" the text before the match, "$'" the text after it and
  // "$$" one "$". Empty when the last Search failed or none was made. The stored state stays.
  std::string Replace(const std::string& replacement) const;

  int MatchCount() const;

  // Match `n` (from 1); with `wantPosition`, `*position` gets its byte offset (-1 for an `n`
  // outside the matches). Empty text for an `n` outside the matches.
  std::string MatchText(int n, bool wantPosition = false, int* position = nullptr) const;

  // Group `m` (from 1) of match `n` (from 1); empty for a group that did not take part, whose
  // position is -1, and for indexes outside the matches or groups.
  std::string SubMatchText(int n, int m, bool wantPosition = false, int* position = nullptr) const;

  // Number of capture groups of the pattern when there is a first match, else 0.
  int SubMatchCount() const;

  struct Compiled;  // the PCRE2 code and its match data, held in RAII owners

 private:
  struct Match {
    int start = 0, end = 0;  // byte offsets in subject_
    std::vector<int> groups;  // start and end of each group, -1 for one that did not take part
  };

  void Clear();

  std::unique_ptr<Compiled> compiled_;
  bool searched_ = false;  // the last Search ran to the end
  std::string pattern_;
  std::string subject_;
  int groupCount_ = 0;
  std::vector<Match> matches_;
};

}  // namespace mm
