// The full walk both fuzz targets run over an indexed document: every element
// reached the way callers reach them, every text read.
#pragma once

#include "xml/xml_reader.h"

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
  }
}
