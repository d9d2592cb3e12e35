#include "util/key_value_table.h"

#include <nlohmann/json.hpp>

#include "util/encoding.h"
#include "util/text.h"

namespace mm {

using Json = nlohmann::ordered_json;

namespace {

Json ToJsonValue(const Value& value);

Json TableJson(const KeyValueTable& table) {
  Json object = Json::object();
  for (const std::string& key : table.Keys()) object[AnsiToUtf8(key)] = ToJsonValue(*table.Get(key));
  return object;
}

Json ListJson(const ValueList& list) {
  Json array = Json::array();
  for (int i = 1; i <= list.Count(); ++i) array.push_back(ToJsonValue(*list.At(i)));
  return array;
}

Json ToJsonValue(const Value& value) {
  if (const KeyValueTable* table = value.Table()) return TableJson(*table);
  if (const ValueList* list = value.List()) return ListJson(*list);
  if (value.IsInteger()) return Json(std::stoll(value.Text()));
  return Json(AnsiToUtf8(value.Text()));
}

Value FromJsonValue(const Json& json, int depth);

KeyValueTable TableFromJson(const Json& object, int depth) {
  KeyValueTable table;
  for (auto it = object.begin(); it != object.end(); ++it) table.Set(Utf8ToAnsi(it.key()), FromJsonValue(it.value(), depth + 1));
  return table;
}

// Device records are shallow; anything nested deeper than this is dropped rather than walked.
constexpr int kMaxDepth = 64;

Value FromJsonValue(const Json& json, int depth) {
  if (depth > kMaxDepth) return Value();
  if (json.is_object()) return Value(TableFromJson(json, depth));
  if (json.is_array()) {
    ValueList list;
    for (const Json& element : json) list.Append(FromJsonValue(element, depth + 1));
    return Value(list);
  }
  if (json.is_number_integer()) return Value(static_cast<long long>(json.get<long long>()));
  if (json.is_string()) return Value(Utf8ToAnsi(json.get<std::string>()));
  if (json.is_null()) return Value();
  return Value(Utf8ToAnsi(json.dump()));
}

}  // namespace

Value::Value() : data_(std::string()) {}
Value::Value(std::string text) : data_(std::move(text)) {}
Value::Value(const char* text) : data_(std::string(text)) {}
Value::Value(long long integer) : data_(integer) {}
Value::Value(const KeyValueTable& table) : data_(std::make_unique<KeyValueTable>(table)) {}
Value::Value(const ValueList& list) : data_(std::make_unique<ValueList>(list)) {}
Value::Value(const Value& other) : data_(std::string()) { *this = other; }
Value::Value(Value&&) noexcept = default;
Value& Value::operator=(Value&&) noexcept = default;
Value::~Value() = default;

Value& Value::operator=(const Value& other) {
  if (this == &other) return *this;
  if (auto* t = other.Table()) data_ = std::make_unique<KeyValueTable>(*t);
  else if (auto* l = other.List()) data_ = std::make_unique<ValueList>(*l);
  else if (other.IsInteger()) data_ = std::get<long long>(other.data_);
  else data_ = std::get<std::string>(other.data_);
  return *this;
}

bool Value::IsText() const { return std::holds_alternative<std::string>(data_); }
bool Value::IsInteger() const { return std::holds_alternative<long long>(data_); }

const KeyValueTable* Value::Table() const {
  auto* p = std::get_if<std::unique_ptr<KeyValueTable>>(&data_);
  return p ? p->get() : nullptr;
}

const ValueList* Value::List() const {
  auto* p = std::get_if<std::unique_ptr<ValueList>>(&data_);
  return p ? p->get() : nullptr;
}

std::string Value::Text() const {
  if (IsText()) return std::get<std::string>(data_);
  if (IsInteger()) return std::to_string(std::get<long long>(data_));
  if (auto* t = Table()) return t->ToJson();
  return List()->ToJson();
}

KeyValueTable KeyValueTable::FromArguments(const std::vector<std::string>& keysAndValues) {
  KeyValueTable table;
  for (std::size_t i = 0; i < keysAndValues.size(); i += 2) {
    table.SetText(keysAndValues[i], i + 1 < keysAndValues.size() ? keysAndValues[i + 1] : std::string());
  }
  return table;
}

void KeyValueTable::Set(std::string_view key, Value value) {
  for (auto& [k, v] : entries_) {
    if (k == key) {
      v = std::move(value);
      return;
    }
  }
  entries_.emplace_back(std::string(key), std::move(value));
}

const Value* KeyValueTable::Get(std::string_view key) const {
  for (const auto& [k, v] : entries_) {
    if (k == key) return &v;
  }
  return nullptr;
}

std::string KeyValueTable::GetText(std::string_view key) const {
  const Value* value = Get(key);
  return value ? value->Text() : std::string();
}

bool KeyValueTable::Remove(std::string_view key) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->first == key) {
      entries_.erase(it);
      return true;
    }
  }
  return false;
}

std::string KeyValueTable::GetPathText(std::string_view path) const {
  if (!StartsWith(path, "//")) return {};
  const KeyValueTable* table = this;
  const Value* value = nullptr;
  for (const std::string& step : Split(path.substr(2), ".")) {
    if (!table) return {};
    std::string name = step;
    int position = 0;
    if (std::size_t open = step.find('['); open != std::string::npos && EndsWith(step, "]")) {
      name = step.substr(0, open);
      position = ToInteger(step.substr(open + 1, step.size() - open - 2));
      if (position < 1) return {};
    }
    value = table->Get(name);
    if (!value) return {};
    if (position > 0) {
      const ValueList* list = value->List();
      value = list ? list->At(position) : nullptr;
      if (!value) return {};
    }
    table = value->Table();
  }
  return value ? value->Text() : std::string();
}

int KeyValueTable::ListCount(std::string_view key) const {
  const Value* value = Get(key);
  return value && value->List() ? value->List()->Count() : 0;
}

std::vector<std::string> KeyValueTable::Keys() const {
  std::vector<std::string> keys;
  for (const auto& [k, v] : entries_) keys.push_back(k);
  return keys;
}

std::string KeyValueTable::ToJson() const { return Utf8ToAnsi(TableJson(*this).dump(-1, ' ', false, Json::error_handler_t::replace)); }

bool KeyValueTable::FromJson(std::string_view json) {
  entries_.clear();
  Json parsed = Json::parse(AnsiToUtf8(json), nullptr, false);
  if (parsed.is_discarded() || !parsed.is_object()) return false;
  *this = TableFromJson(parsed, 0);
  return true;
}

const Value* ValueList::At(int position) const {
  if (position < 1 || position > Count()) return nullptr;
  return &items_[static_cast<std::size_t>(position - 1)];
}

bool ValueList::CopyOut(int position, KeyValueTable& table) const {
  const Value* value = At(position);
  if (!value || !value->Table()) return false;
  table = *value->Table();
  return true;
}

std::string ValueList::GetText(int position, std::string_view key) const {
  const Value* value = At(position);
  return value && value->Table() ? value->Table()->GetText(key) : std::string();
}

std::string ValueList::ToJson() const { return Utf8ToAnsi(ListJson(*this).dump(-1, ' ', false, Json::error_handler_t::replace)); }

}  // namespace mm
