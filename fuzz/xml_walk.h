// The full walk both fuzz targets run over an indexed document: every element
// reached the way callers reach them, every text read.
#pragma once

#include "xml/xml_reader.h"
#include "xml/xml_scan.h"

inline void WalkAll(CXmlReader& reader, int depth) {
  while (reader.FindChild(u"")) {
    reader.GetChildText();
    uint32_t child = reader.CurrentChild();
    if (depth < 1000 && child != 0 && reader.Record(child).firstChild != 0 && reader.EnterChild()) {
      WalkAll(reader, depth + 1);
      if (!reader.LeaveElement()) return;
    }
  }
}

inline void CheckIndex(const CXmlReader& reader) {
  // Every record lies inside the text: a wrapped length would show here.
  std::size_t size = reader.Text().size();
  for (uint32_t i = 1; i < reader.RecordCount(); ++i) {
    const ElementRecord& rec = reader.Record(i);
    if (rec.start < 0 || rec.length < 0 || static_cast<std::size_t>(rec.start) + rec.length > size ||
        rec.startTagLength > static_cast<uint32_t>(rec.length)) {
      __builtin_trap();
    }
    // Indexing reads simple tags without the general scanner: rescanned by it,
    // every start tag and end tag must come out the same.
    const char16_t* text = reader.Text().data();
    xml::ScannedNode start = xml::ScanNode(text, size, static_cast<std::size_t>(rec.start));
    bool empty = start.type == xml::NodeType::kEmptyTag;
    if ((start.type != xml::NodeType::kStartTag && !empty) || start.length != rec.startTagLength) {
      __builtin_trap();
    }
    if (empty && (static_cast<uint32_t>(rec.length) != rec.startTagLength || rec.endTagLength != 0)) {
      __builtin_trap();
    }
    if (rec.endTagLength != 0) {
      std::size_t at = static_cast<std::size_t>(rec.start) + static_cast<std::size_t>(rec.length) - rec.endTagLength;
      xml::ScannedNode end = xml::ScanNode(text, size, at);
      if (end.type != xml::NodeType::kEndTag || end.length != rec.endTagLength) __builtin_trap();
    }
  }
}
