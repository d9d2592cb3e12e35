#pragma once
// A JSON value read and changed by JavaScript-style paths such as "page.recordcount" or
// data[0]['vod_name']. The program grew up with the document living in a script engine; the
// rules here are that engine's, kept so answers read exactly as they always did:
//
// - Paths: member names (the first without a dot), [N] for element N of an array, ['name'] for
//   a member by name; the empty path is the root. A path may also begin with the variable name
//   "da" (da, da.page, da['page']). A relative path that merely begins with the letters d and a
//   (data[0]) leads nowhere read as absolute and so is taken as relative.
// - Text in and out is code page 936; inside, the document holds Unicode, so a two-byte
//   character whose second byte is 0x5C is one character, never a backslash.
// - A JSON text is data: it is parsed, never run.
// - Text stored by SetValue carries every backslash as U+2400; every text read out turns U+2400
//   back into a backslash.
//
// Operations report failure as false, 0 or empty text; nothing throws.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mm {

// The last parse error, in the fields the script engine reported.
struct ScriptErrorInfo {
  int Number = 0;
  std::string Source;
  std::string Description;
  std::string HelpFile;
  int HelpContext = 0;
  std::string Text;
  int Line = 0;
  int Column = 0;
};

class JsonDocument {
 public:
  // A new document holds an empty object.
  JsonDocument();
  ~JsonDocument();
  // A copy shares the document (it is a second reference to the same engine).
  JsonDocument(const JsonDocument& other);
  JsonDocument& operator=(const JsonDocument& other);

  void CreateEngine();
  // False when the text is not JSON or reads as null. Deeper nesting than kMaxDepth is refused.
  bool Parse(std::string_view text, bool direct = false, ScriptErrorInfo* errorInfo = nullptr);
  bool Clear();
  std::string ToJson() const;
  bool SetValue(std::string_view path, std::string_view value, bool asJson = false);
  bool SetByExpression(std::string_view path, std::string_view expression);
  bool NormalizePath(std::string& path) const;
  bool Exists(std::string_view path) const;
  // 0 null or missing, 6 string, 5 array, 4 object, 2 number, 1 boolean.
  int TypeOf(std::string_view path) const;
  std::string GetText(std::string_view path, bool asJson = false) const;
  int MemberNames(std::vector<std::string>& names, std::string_view path = {}) const;
  int Count(std::string_view path = {}) const;
  JsonDocument GetDocument(std::string_view path) const;
  bool Append(std::string_view value, std::string_view path, bool asJson = false, bool atFront = false);
  JsonDocument GetElementDocument(int index, std::string_view path) const;
  std::string GetElementText(int index, std::string_view path, bool asJson = false) const;
  bool SetElement(int index, std::string_view path, std::string_view value, bool asJson = false);
  bool RemoveElement(int index, std::string_view path);
  bool Remove(std::string_view path);
  bool SetNumber(std::string_view path, double number);
  double GetNumber(std::string_view path) const;
  std::string GetJson(std::string_view path) const;
  int LeafValues(std::vector<std::string>& values, std::string_view path = {}, bool recursive = false) const;
  // A new reference to the document's engine: a document that shares this one's value, as a
  // copy does.
  JsonDocument Engine() const { return *this; }

  const std::string& VariableName() const { return variableName_; }

  static constexpr int kMaxDepth = 512;

  struct State;

 private:
  std::string variableName_ = "da";
  std::shared_ptr<State> state_;
};

// A number as JavaScript writes it: the shortest text that reads back as the same double,
// exponent form from 1e21 and below 1e-6 ("1e+21", "1e-7"), "NaN", "Infinity".
std::string JavaScriptNumberText(double value);

}  // namespace mm
