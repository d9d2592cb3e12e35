#pragma once
// KeyValueTable: a string-keyed map of values (text, integer, nested table or list) that keeps
// its keys in insertion order; ValueList: an ordered list of such values addressed from 1.
// They carry device records between discovery, the device box and the cast, and turn into
// JSON and back. Neither is safe for use by two threads at once; copies are deep.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace mm {

class KeyValueTable;
class ValueList;

// One value: text (program text), an integer, or a nested table or list.
class Value {
 public:
  Value();
  Value(std::string text);
  Value(const char* text);
  Value(long long integer);
  Value(const KeyValueTable& table);
  Value(const ValueList& list);
  Value(const Value& other);
  Value& operator=(const Value& other);
  Value(Value&&) noexcept;
  Value& operator=(Value&&) noexcept;
  ~Value();

  bool IsText() const;
  bool IsInteger() const;
  const KeyValueTable* Table() const;  // null unless a table
  const ValueList* List() const;       // null unless a list
  // Text as it reads: an integer in decimal, a table or list as its JSON.
  std::string Text() const;

 private:
  std::variant<std::string, long long, std::unique_ptr<KeyValueTable>, std::unique_ptr<ValueList>> data_;
};

class KeyValueTable {
 public:
  KeyValueTable() = default;
  // Alternating keys and values: {"name", "TV", "location", "http://..."}; a lone last key
  // gets empty text.
  static KeyValueTable FromArguments(const std::vector<std::string>& keysAndValues);

  void Set(std::string_view key, Value value);
  void SetText(std::string_view key, std::string_view text) { Set(key, Value(std::string(text))); }
  // Empty text when the key is missing.
  std::string GetText(std::string_view key) const;
  const Value* Get(std::string_view key) const;
  bool Has(std::string_view key) const { return Get(key) != nullptr; }
  bool Remove(std::string_view key);

  // Paths begin with "//": "//name" reads member name; "//service[2].controlURL" reads member
  // controlURL of element 2 (from 1) of the list member service; steps chain with ".".
  std::string GetPathText(std::string_view path) const;
  // The element count of a list member; 0 when it is missing or not a list.
  int ListCount(std::string_view key) const;

  std::vector<std::string> Keys() const;
  std::size_t Size() const { return entries_.size(); }

  // JSON object text, keys in order (UTF-8 on the wire, program text in the table).
  std::string ToJson() const;
  // Replaces the content; false (and an empty table) when the text is not a JSON object.
  bool FromJson(std::string_view json);

 private:
  std::vector<std::pair<std::string, Value>> entries_;
};

class ValueList {
 public:
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  void Append(Value value) { items_.push_back(std::move(value)); }
  // Element `position` (from 1); null outside the list.
  const Value* At(int position) const;
  // Copies element `position` into `table`; false when it is missing or not a table.
  bool CopyOut(int position, KeyValueTable& table) const;
  // The text under `key` of element `position`; empty when missing.
  std::string GetText(int position, std::string_view key) const;
  std::string ToJson() const;

 private:
  std::vector<Value> items_;
};

}  // namespace mm
