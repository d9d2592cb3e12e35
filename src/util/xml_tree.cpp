#include "util/xml_tree.h"

#include <charconv>
#include <pugixml.hpp>

#include "util/encoding.h"
#include "util/text.h"

namespace mm {

struct XmlTree::Document {
  pugi::xml_document doc;
  bool loaded = false;

  pugi::xml_node Find(std::string_view path) const {
    if (!loaded) return {};
    pugi::xml_node root = doc.document_element();
    std::vector<std::string> steps = Split(path, "/");
    if (steps.empty() || steps[0] != root.name()) return {};
    pugi::xml_node node = root;
    for (std::size_t i = 1; i < steps.size() && node; ++i) {
      const std::string& step = steps[i];
      if (!step.empty() && step[0] == '@') {
        int wanted = 0;
        auto [end, ec] = std::from_chars(step.data() + 1, step.data() + step.size(), wanted);
        if (ec != std::errc() || end != step.data() + step.size() || wanted < 1) return {};
        pugi::xml_node child = node.first_child();
        int seen = 0;
        for (; child; child = child.next_sibling()) {
          if (child.type() == pugi::node_element && ++seen == wanted) break;
        }
        node = child;
      } else {
        node = node.child(step.c_str());
      }
    }
    return node;
  }
};

std::string DecodeXmlEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    if (text[pos] != '&') {
      out += text[pos++];
      continue;
    }
    std::size_t semi = text.find(';', pos);
    if (semi == std::string_view::npos || semi - pos > 12) {
      out += text[pos++];
      continue;
    }
    std::string_view name = text.substr(pos + 1, semi - pos - 1);
    std::string replacement;
    if (name == "lt") replacement = "<";
    else if (name == "gt") replacement = ">";
    else if (name == "amp") replacement = "&";
    else if (name == "quot") replacement = "\"";
    else if (name == "apos") replacement = "'";
    else if (name.size() > 1 && name[0] == '#') {
      bool hex = name[1] == 'x' || name[1] == 'X';
      std::string_view digits = name.substr(hex ? 2 : 1);
      std::uint32_t cp = 0;
      auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), cp, hex ? 16 : 10);
      if (!digits.empty() && ec == std::errc() && end == digits.data() + digits.size()) {
        replacement = CodePointToAnsi(cp);
      }
    }
    if (replacement.empty()) {
      out += text[pos++];
      continue;
    }
    out += replacement;
    pos = semi + 1;
  }
  return out;
}

XmlTree::XmlTree() : document_(std::make_unique<Document>()) {}
XmlTree::~XmlTree() = default;

bool XmlTree::Load(std::string_view bytes) {
  Clear();
  if (bytes.empty()) return false;
  // Entities are decoded by us (parse_escapes off), so that character references come out in
  // code page 936 rather than UTF-8; the buffer is declared UTF-8 so that pugixml passes every
  // byte through untouched.
  unsigned options = (pugi::parse_default & ~pugi::parse_escapes);
  pugi::xml_parse_result result =
      document_->doc.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_utf8);
  document_->loaded = result && document_->doc.document_element();
  if (!document_->loaded) document_->doc.reset();
  return document_->loaded;
}

void XmlTree::Clear() {
  document_->doc.reset();
  document_->loaded = false;
}

std::string XmlTree::Text(std::string_view path) const {
  pugi::xml_node node = document_->Find(path);
  if (!node) return {};
  std::string out;
  // Character data of the element and everything below it, without recursion.
  pugi::xml_node current = node.first_child();
  while (current) {
    if (current.type() == pugi::node_pcdata) out += DecodeXmlEntities(current.value());
    else if (current.type() == pugi::node_cdata) out += current.value();
    if (current.type() == pugi::node_element && current.first_child()) {
      current = current.first_child();
      continue;
    }
    while (current && current != node && !current.next_sibling()) current = current.parent();
    if (!current || current == node) break;
    current = current.next_sibling();
  }
  return out;
}

std::string XmlTree::Attribute(std::string_view path, std::string_view name) const {
  pugi::xml_node node = document_->Find(path);
  if (!node) return {};
  pugi::xml_attribute attribute = node.attribute(std::string(name).c_str());
  return attribute ? DecodeXmlEntities(attribute.value()) : std::string();
}

int XmlTree::ChildCount(std::string_view path) const {
  pugi::xml_node node = document_->Find(path);
  int count = 0;
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element) ++count;
  }
  return count;
}

std::string XmlTree::RootName() const {
  return document_->loaded ? document_->doc.document_element().name() : std::string();
}

}  // namespace mm
