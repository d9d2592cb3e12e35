#pragma once
// Catalogue sites send their RSS-shaped XML answers in UTF-8 almost always, and the program's
// text is code page 936; taking the UTF-8 bytes as they are would turn every Chinese title into
// garbage. This turns an XML answer into program text according to the encoding it declares.

#include <string>

#include "util/text.h"

namespace mm {

// The encoding named by the XML declaration at the start of `answer` (after an optional
// byte-order mark and white space), lower-cased; empty when there is none.
std::string DeclaredXmlEncoding(const Bytes& answer);

// UTF-8 (declared, or undeclared and well-formed) is converted to code page 936, a UTF-8
// byte-order mark dropped; a GBK-family answer (gbk, gb2312, gb18030, cp936) stays as it is, and
// so does an undeclared answer that is not UTF-8 or one in any other encoding.
Bytes XmlAnswerToProgramText(const Bytes& answer);

}  // namespace mm
