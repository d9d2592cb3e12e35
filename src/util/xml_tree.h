#pragma once
// An XML document loaded from bytes and read by simple paths. Used for the catalogue sites'
// RSS-shaped answers and the renderers' device descriptions.
//
// A path is steps separated by "/": the first step must equal the root element's name; "@N"
// is the N-th element child, counted from 1; any other step is the first child element with
// that name, matched as written, namespace prefix included. Texts come back with the
// predefined entities decoded and CDATA as it is; numeric character references come out as
// code-page-936 text. No character conversion is made otherwise: the document's bytes are
// taken as program text. Anything missing reads as empty text or 0.

#include <memory>
#include <string>
#include <string_view>

namespace mm {

class XmlTree {
 public:
  XmlTree();
  ~XmlTree();
  XmlTree(const XmlTree&) = delete;
  XmlTree& operator=(const XmlTree&) = delete;

  // Replaces the document; false (and an empty tree) when the bytes are not well-formed XML.
  bool Load(std::string_view bytes);
  void Clear();

  // The text of the element at `path`: its character data and that of every element below
  // it, in document order.
  std::string Text(std::string_view path) const;
  std::string Attribute(std::string_view path, std::string_view name) const;
  int ChildCount(std::string_view path) const;
  // The root element's name; empty when nothing is loaded.
  std::string RootName() const;

 private:
  struct Document;
  std::unique_ptr<Document> document_;
};

// Decodes the predefined entities and numeric character references of XML character data;
// anything else after "&" stays as it is (no entity of a document type is ever expanded).
std::string DecodeXmlEntities(std::string_view text);

}  // namespace mm
