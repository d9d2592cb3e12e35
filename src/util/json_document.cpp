#include "util/json_document.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "util/encoding.h"
#include "util/text.h"

namespace mm {

using Json = nlohmann::ordered_json;

namespace {

constexpr std::string_view kU2400 = "\xE2\x90\x80";  // UTF-8 of U+2400
const std::string& LeafSeparator() {
  static const std::string separator = Gbk("[2020年7月20日20时0分0秒]");
  return separator;
}

// One step of a path: a member by name or an element by index.
struct Step {
  bool isIndex = false;
  std::string name;  // UTF-8
  std::size_t index = 0;
};

// Splits an absolute path (its first identifier is the variable) into steps; false when the
// text is no path at all.
bool ParseSteps(std::string_view path, std::string& head, std::vector<Step>& steps) {
  std::size_t pos = 0;
  auto identifier = [&](std::string& out) {
    std::size_t begin = pos;
    while (pos < path.size() && path[pos] != '.' && path[pos] != '[') ++pos;
    out.assign(path.substr(begin, pos - begin));
    return !out.empty();
  };
  if (!identifier(head)) return false;
  while (pos < path.size()) {
    if (path[pos] == '.') {
      ++pos;
      Step step;
      if (!identifier(step.name)) return false;
      steps.push_back(std::move(step));
    } else if (path[pos] == '[') {
      ++pos;
      if (pos < path.size() && (path[pos] == '\'' || path[pos] == '"')) {
        char quote = path[pos++];
        std::size_t close = path.find(quote, pos);
        if (close == std::string_view::npos || close + 1 >= path.size() || path[close + 1] != ']') return false;
        steps.push_back(Step{false, std::string(path.substr(pos, close - pos)), 0});
        pos = close + 2;
      } else {
        std::size_t close = path.find(']', pos);
        if (close == std::string_view::npos || close == pos) return false;
        std::string_view digits = path.substr(pos, close - pos);
        std::size_t index = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
        if (ec != std::errc() || end != digits.data() + digits.size()) return false;
        steps.push_back(Step{true, std::string(digits), index});
        pos = close + 1;
      }
    } else {
      return false;
    }
  }
  return true;
}

// The value a step leads to from `node`, or null when there is none.
Json* StepInto(Json* node, const Step& step) {
  if (!node) return nullptr;
  if (node->is_array()) {
    if (!step.isIndex || step.index >= node->size()) return nullptr;
    return &(*node)[step.index];
  }
  if (node->is_object()) {
    auto it = node->find(step.name);
    return it == node->end() ? nullptr : &it.value();
  }
  return nullptr;
}

void AppendEscaped(std::string& out, std::uint32_t cp) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(cp));
  out += buffer;
}

// Characters JSON output writes as \u escapes, beside the control characters.
bool NeedsUnicodeEscape(std::uint32_t cp) {
  return (cp >= 0x7F && cp <= 0x9F) || cp == 0xAD || (cp >= 0x600 && cp <= 0x604) || cp == 0x70F ||
         cp == 0x17B4 || cp == 0x17B5 || (cp >= 0x200C && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202F) ||
         (cp >= 0x2060 && cp <= 0x206F) || cp == 0xFEFF || (cp >= 0xFFF0 && cp <= 0xFFFF);
}

std::uint32_t DecodeUtf8(std::string_view s, std::size_t& pos) {
  unsigned char c = static_cast<unsigned char>(s[pos]);
  int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
  std::uint32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
  ++pos;
  for (int i = 0; i < extra && pos < s.size(); ++i, ++pos) cp = (cp << 6) | (static_cast<unsigned char>(s[pos]) & 0x3F);
  return cp;
}

void QuoteString(std::string& out, std::string_view s) {
  out += '"';
  for (std::size_t pos = 0; pos < s.size();) {
    std::size_t start = pos;
    std::uint32_t cp = DecodeUtf8(s, pos);
    switch (cp) {
      case '\b': out += "\\b"; continue;
      case '\t': out += "\\t"; continue;
      case '\n': out += "\\n"; continue;
      case '\f': out += "\\f"; continue;
      case '\r': out += "\\r"; continue;
      case '"': out += "\\\""; continue;
      case '\\': out += "\\\\"; continue;
      default: break;
    }
    if (cp < 0x20 || NeedsUnicodeEscape(cp)) {
      AppendEscaped(out, cp);
    } else {
      out.append(s.substr(start, pos - start));
    }
  }
  out += '"';
}

double NumberOf(const Json& value) { return value.get<double>(); }

// Compact JSON in document order, written without recursion.
void WriteJson(std::string& out, const Json& root) {
  struct Frame {
    const Json* node;
    std::size_t next;
  };
  auto scalar = [&](const Json& v) {
    if (v.is_string()) {
      QuoteString(out, v.get_ref<const std::string&>());
    } else if (v.is_number()) {
      double d = NumberOf(v);
      out += std::isfinite(d) ? JavaScriptNumberText(d) : "null";
    } else if (v.is_boolean()) {
      out += v.get<bool>() ? "true" : "false";
    } else {
      out += "null";
    }
  };
  if (!root.is_structured()) {
    scalar(root);
    return;
  }
  std::vector<Frame> stack{{&root, 0}};
  out += root.is_array() ? '[' : '{';
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const Json& node = *frame.node;
    if (frame.next >= node.size()) {
      out += node.is_array() ? ']' : '}';
      stack.pop_back();
      continue;
    }
    if (frame.next > 0) out += ',';
    const Json* child;
    if (node.is_array()) {
      child = &node[frame.next];
    } else {
      auto it = node.begin();
      std::advance(it, static_cast<long>(frame.next));
      QuoteString(out, it.key());
      out += ':';
      child = &it.value();
    }
    ++frame.next;
    if (child->is_structured()) {
      out += child->is_array() ? '[' : '{';
      stack.push_back({child, 0});
    } else {
      scalar(*child);
    }
  }
}

// The value's text as the engine's toString gives it (arrays joined with ",", objects as
// "[object Object]"). Depth is bounded by the parse limit.
void WriteText(std::string& out, const Json& v) {
  if (v.is_string()) {
    out += v.get_ref<const std::string&>();
  } else if (v.is_number()) {
    out += JavaScriptNumberText(NumberOf(v));
  } else if (v.is_boolean()) {
    out += v.get<bool>() ? "true" : "false";
  } else if (v.is_array()) {
    for (std::size_t i = 0; i < v.size(); ++i) {
      if (i) out += ',';
      if (!v[i].is_null()) WriteText(out, v[i]);
    }
  } else if (v.is_object()) {
    out += "[object Object]";
  }
}

// Program text back out: U+2400 stands for a backslash, then code page 936.
std::string Out(std::string utf8) {
  if (utf8.find(kU2400) != std::string::npos) utf8 = ReplaceAll(utf8, kU2400, "\\");
  return Utf8ToAnsi(utf8);
}

// Deepest nesting of a JSON text, counted outside strings; stops counting past `limit`.
int NestingDepth(std::string_view text, int limit) {
  int depth = 0, deepest = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
      continue;
    }
    if (c == '"') inString = true;
    else if (c == '[' || c == '{') {
      if (++depth > deepest && (deepest = depth) > limit) return deepest;
    } else if (c == ']' || c == '}') --depth;
  }
  return deepest;
}

bool ParseJsonText(std::string_view utf8, Json& out) {
  if (NestingDepth(utf8, JsonDocument::kMaxDepth) > JsonDocument::kMaxDepth) return false;
  out = Json::parse(utf8.begin(), utf8.end(), nullptr, false);
  return !out.is_discarded();
}

}  // namespace

struct JsonDocument::State {
  Json value = Json::object();
  bool engine = true;

  // The node at an absolute path, or null when it is missing.
  Json* Find(std::string_view absolute, std::string_view variable) {
    std::string head;
    std::vector<Step> steps;
    if (!ParseSteps(absolute, head, steps) || head != variable) return nullptr;
    Json* node = &value;
    for (const Step& step : steps) {
      node = StepInto(node, step);
      if (!node) return nullptr;
    }
    return node;
  }

  // The node `path` leads to, read as the document's operations read every path: absolute
  // when it names the variable and leads to a value, else relative to the root. `absolute`
  // receives the path in that absolute form (UTF-8).
  Json* Locate(std::string_view path, const std::string& variable, std::string& absolute) {
    std::string utf8 = AnsiToUtf8(path);
    if (StartsWith(utf8, variable)) {
      Json* node = Find(utf8, variable);
      if (node && !node->is_null()) {
        absolute = std::move(utf8);
        return node;
      }
    }
    if (utf8.empty()) {
      absolute = variable;
    } else if (utf8[0] == '[') {
      absolute = variable + utf8;
    } else {
      absolute = variable + "." + utf8;
    }
    return Find(absolute, variable);
  }
};

JsonDocument::JsonDocument() : state_(std::make_shared<State>()) {}
JsonDocument::~JsonDocument() = default;
JsonDocument::JsonDocument(const JsonDocument& other) = default;
JsonDocument& JsonDocument::operator=(const JsonDocument& other) = default;

void JsonDocument::CreateEngine() {
  state_->value = Json::object();
  state_->engine = true;
}

bool JsonDocument::NormalizePath(std::string& path) const {
  std::string absolute;
  Json* node = state_->Locate(path, variableName_, absolute);
  // Locate keeps a path that already works as an absolute one; any other gets the variable.
  if (absolute != AnsiToUtf8(path)) {
    if (path.empty()) {
      path = variableName_;
    } else if (path[0] == '[') {
      path = variableName_ + path;
    } else {
      path = variableName_ + "." + path;
    }
  }
  return node && !node->is_null();
}

bool JsonDocument::Parse(std::string_view text, bool direct, ScriptErrorInfo* errorInfo) {
  CreateEngine();
  state_->value = nullptr;
  Json parsed;
  bool ok = !text.empty() && ParseJsonText(AnsiToUtf8(text), parsed);
  if (ok) state_->value = std::move(parsed);
  if (errorInfo) {
    *errorInfo = ScriptErrorInfo{};
    if (!ok) {
      errorInfo->Number = -2146827286;  // the engine's "syntax error"
      errorInfo->Source = "JSON";
      errorInfo->Description = "Syntax error";
    }
  }
  return !state_->value.is_null();
}

bool JsonDocument::Clear() {
  state_->value = Json::object();
  return true;
}

std::string JsonDocument::ToJson() const {
  std::string out;
  WriteJson(out, state_->value);
  return Out(std::move(out));
}


bool JsonDocument::Exists(std::string_view path) const {
  std::string normalized(path);
  return NormalizePath(normalized);
}

int JsonDocument::TypeOf(std::string_view path) const {
  std::string absolute;
  Json* node = state_->Locate(path, variableName_, absolute);
  if (!node || node->is_null()) return 0;
  if (node->is_string()) return 6;
  if (node->is_array()) return 5;
  if (node->is_object()) return 4;
  if (node->is_number()) return 2;
  if (node->is_boolean()) return 1;
  return -1;
}

std::string JsonDocument::GetText(std::string_view path, bool asJson) const {
  std::string absolute;
  Json* node = state_->Locate(path, variableName_, absolute);
  if (!node) return {};
  std::string out;
  if (asJson) {
    WriteJson(out, *node);
  } else {
    if (node->is_null()) return {};
    WriteText(out, *node);
  }
  return Out(std::move(out));
}

std::string JsonDocument::GetJson(std::string_view path) const { return GetText(path, true); }

int JsonDocument::MemberNames(std::vector<std::string>& names, std::string_view path) const {
  names.clear();
  std::string absolute;
  Json* node = state_->Locate(path, variableName_, absolute);
  if (!node || !node->is_object() || node->empty()) return 0;
  std::string joined;
  for (auto it = node->begin(); it != node->end(); ++it) {
    if (it != node->begin()) joined += "\r\n";
    joined += it.key();
  }
  names = Split(Out(std::move(joined)), "\r\n");
  return static_cast<int>(names.size());
}

int JsonDocument::Count(std::string_view path) const {
  std::string absolute;
  Json* node = state_->Locate(path, variableName_, absolute);
  return node && node->is_array() ? static_cast<int>(node->size()) : 0;
}

JsonDocument JsonDocument::GetDocument(std::string_view path) const {
  JsonDocument copy;
  std::string json = GetJson(path);
  if (!json.empty()) copy.Parse(json);
  return copy;
}

JsonDocument JsonDocument::GetElementDocument(int index, std::string_view path) const {
  JsonDocument copy;
  std::string json = GetElementText(index, path, true);
  if (!json.empty()) copy.Parse(json);
  return copy;
}

std::string JsonDocument::GetElementText(int index, std::string_view path, bool asJson) const {
  std::string absolute;
  Json* node = state_->Locate(path, variableName_, absolute);
  if (!node || !node->is_array() || index < 0 || static_cast<std::size_t>(index) >= node->size()) return {};
  const Json& element = (*node)[static_cast<std::size_t>(index)];
  std::string out;
  if (asJson) {
    WriteJson(out, element);
  } else {
    if (!element.is_string()) return {};
    out = element.get<std::string>();
  }
  return Out(std::move(out));
}

namespace {

// A value as stored in text form: backslashes travel as U+2400.
Json StoredText(std::string_view value) {
  std::string utf8 = AnsiToUtf8(value);
  if (utf8.find('\\') != std::string::npos) utf8 = ReplaceAll(utf8, "\\", kU2400);
  return Json(std::move(utf8));
}

// The object merge of the engine's library: strings, booleans and missing members are replaced,
// objects merged, arrays appended to.
bool Extend(Json& target, const Json& source) {
  if (target.is_array()) {
    if (source.is_array()) {
      for (const Json& element : source) target.push_back(element);
    } else {
      target.push_back(source);
    }
    return true;
  }
  if (!source.is_object()) return false;
  for (auto it = source.begin(); it != source.end(); ++it) {
    auto existing = target.find(it.key());
    if (existing == target.end() || existing->is_string() || existing->is_boolean() || existing->is_null()) {
      target[it.key()] = it.value();
    } else if (existing->is_object() || existing->is_array()) {
      if (!Extend(*existing, it.value())) return false;
    } else {
      return false;  // a number: the library's merge fails here
    }
  }
  return true;
}

}  // namespace

namespace {

// Stores `value` at the end of `absolute`; the parent must exist.
bool StoreAt(JsonDocument::State& state, const std::string& absolute, const std::string& variable,
             Json value, bool removeWhenDiscarded) {
  std::string head;
  std::vector<Step> steps;
  if (!ParseSteps(absolute, head, steps) || head != variable) return false;
  if (steps.empty()) {
    state.value = std::move(value);
    return true;
  }
  Json* parent = &state.value;
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
    parent = StepInto(parent, steps[i]);
    if (!parent) return false;
  }
  const Step& last = steps.back();
  if (parent->is_object()) {
    if (removeWhenDiscarded) {
      parent->erase(last.name);
    } else {
      (*parent)[last.name] = std::move(value);
    }
    return true;
  }
  if (parent->is_array() && last.isIndex) {
    if (removeWhenDiscarded) {
      if (last.index < parent->size()) (*parent)[last.index] = nullptr;
      return true;
    }
    while (parent->size() <= last.index) parent->push_back(nullptr);
    (*parent)[last.index] = std::move(value);
    return true;
  }
  return false;
}

}  // namespace

bool JsonDocument::SetValue(std::string_view path, std::string_view value, bool asJson) {
  std::string absolute;
  Json* node = state_->Locate(path, variableName_, absolute);
  if (!asJson) return StoreAt(*state_, absolute, variableName_, StoredText(value), false);
  if (node && node->is_object()) {
    Json source;
    if (!ParseJsonText(value.empty() ? std::string("{}") : AnsiToUtf8(value), source)) return false;
    Json merged = *node;
    if (!Extend(merged, source)) return false;
    *node = std::move(merged);
    return true;
  }
  if (value.empty()) return StoreAt(*state_, absolute, variableName_, Json(), true);
  Json parsed;
  if (!ParseJsonText(AnsiToUtf8(value), parsed)) return false;
  return StoreAt(*state_, absolute, variableName_, std::move(parsed), false);
}

bool JsonDocument::SetByExpression(std::string_view path, std::string_view expression) {
  Json parsed;
  if (!ParseJsonText(AnsiToUtf8(expression), parsed)) return false;
  std::string absolute;
  state_->Locate(path, variableName_, absolute);
  return StoreAt(*state_, absolute, variableName_, std::move(parsed), false);
}

bool JsonDocument::Append(std::string_view value, std::string_view path, bool asJson, bool atFront) {
  std::string absolute;
  state_->Locate(path, variableName_, absolute);
  Json* node = state_->Find(absolute, variableName_);
  if (!node || !node->is_array()) {
    if (!StoreAt(*state_, absolute, variableName_, Json::array(), false)) return false;
    node = state_->Find(absolute, variableName_);
    if (!node) return false;
  }
  Json element;
  if (asJson) {
    if (!ParseJsonText(AnsiToUtf8(value), element)) return false;
  } else {
    element = Json(AnsiToUtf8(value));
  }
  if (atFront) {
    node->insert(node->begin(), std::move(element));
  } else {
    node->push_back(std::move(element));
  }
  return true;
}

bool JsonDocument::SetElement(int index, std::string_view path, std::string_view value, bool asJson) {
  std::string absolute;
  Json* node = state_->Locate(path, variableName_, absolute);
  if (!node || !node->is_array() || index < 0) return false;
  Json element;
  if (asJson) {
    if (!ParseJsonText(AnsiToUtf8(value), element)) return false;
  } else {
    element = Json(AnsiToUtf8(value));
  }
  while (node->size() <= static_cast<std::size_t>(index)) node->push_back(nullptr);
  (*node)[static_cast<std::size_t>(index)] = std::move(element);
  return true;
}

bool JsonDocument::RemoveElement(int index, std::string_view path) {
  std::string absolute;
  Json* node = state_->Locate(path, variableName_, absolute);
  if (!node || !node->is_array() || index < 0) return false;
  if (static_cast<std::size_t>(index) < node->size()) node->erase(static_cast<std::size_t>(index));
  return true;
}

bool JsonDocument::Remove(std::string_view path) {
  std::string absolute;
  state_->Locate(path, variableName_, absolute);
  std::string head;
  std::vector<Step> steps;
  if (!ParseSteps(absolute, head, steps) || head != variableName_ || steps.empty()) return false;
  Json* parent = &state_->value;
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
    parent = StepInto(parent, steps[i]);
    if (!parent) return false;
  }
  if (parent->is_object()) {
    parent->erase(steps.back().name);
    return true;
  }
  if (parent->is_array() && steps.back().isIndex) {
    // "delete" on an element leaves a hole, as the engine does.
    if (steps.back().index < parent->size()) (*parent)[steps.back().index] = nullptr;
    return true;
  }
  return false;
}

bool JsonDocument::SetNumber(std::string_view path, double number) {
  std::string absolute;
  state_->Locate(path, variableName_, absolute);
  return StoreAt(*state_, absolute, variableName_, Json(number), false);
}

double JsonDocument::GetNumber(std::string_view path) const {
  std::string absolute;
  Json* node = state_->Locate(path, variableName_, absolute);
  if (!node) return 0;
  if (node->is_number()) return NumberOf(*node);
  if (node->is_boolean()) return node->get<bool>() ? 1 : 0;
  if (node->is_string()) {
    std::string s = Trim(node->get<std::string>());
    if (s.empty()) return 0;
    double d = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
    if (ec != std::errc() || end != s.data() + s.size()) return 0;
    return d;
  }
  return 0;
}

int JsonDocument::LeafValues(std::vector<std::string>& values, std::string_view path, bool recursive) const {
  values.clear();
  std::string absolute;
  Json* node = state_->Locate(path, variableName_, absolute);
  if (!node || !node->is_structured()) return 0;
  std::vector<std::string> texts;
  std::vector<std::pair<const Json*, std::size_t>> stack{{node, 0}};
  while (!stack.empty()) {
    auto& [current, next] = stack.back();
    if (next >= current->size()) {
      stack.pop_back();
      continue;
    }
    const Json* child;
    if (current->is_array()) {
      child = &(*current)[next];
    } else {
      auto it = current->begin();
      std::advance(it, static_cast<long>(next));
      child = &it.value();
    }
    ++next;
    if (child->is_structured()) {
      if (recursive) stack.push_back({child, 0});
    } else if (!child->is_null()) {
      std::string text;
      WriteText(text, *child);
      texts.push_back(std::move(text));
    }
  }
  std::string joined;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i) joined += AnsiToUtf8(LeafSeparator());
    joined += texts[i];
  }
  values = Split(Out(std::move(joined)), LeafSeparator());
  return static_cast<int>(values.size());
}

std::string JavaScriptNumberText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
  if (value == 0) return "0";
  std::string sign = value < 0 ? "-" : "";
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
  std::string sci(buffer, end);  // d.ddde+XX, shortest round trip
  std::size_t e = sci.find('e');
  std::string digits = sci.substr(0, 1) + (e > 2 ? sci.substr(2, e - 2) : std::string());
  int exponent = std::stoi(sci.substr(e + 1));
  int k = static_cast<int>(digits.size());
  int n = exponent + 1;  // the decimal point sits after n digits
  std::string out;
  if (k <= n && n <= 21) {
    out = digits + std::string(static_cast<std::size_t>(n - k), '0');
  } else if (0 < n && n <= 21) {
    out = digits.substr(0, static_cast<std::size_t>(n)) + "." + digits.substr(static_cast<std::size_t>(n));
  } else if (-6 < n && n <= 0) {
    out = "0." + std::string(static_cast<std::size_t>(-n), '0') + digits;
  } else {
    out = digits.substr(0, 1);
    if (k > 1) out += "." + digits.substr(1);
    out += "e";
    out += n - 1 >= 0 ? "+" : "-";
    out += std::to_string(std::abs(n - 1));
  }
  return sign + out;
}

}  // namespace mm
