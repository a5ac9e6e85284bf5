#include "xml/xml_reader.h"

#include <cstddef>
#include <cstring>

#include "xml/xml_scan.h"

static_assert(sizeof(ElementRecord) == 32, "records are 32 bytes");
static_assert(offsetof(ElementRecord, start) == 0);
static_assert(offsetof(ElementRecord, length) == 4);
static_assert(offsetof(ElementRecord, level) == 12);  // the tag lengths share word 8
static_assert(offsetof(ElementRecord, flags) == 14);
static_assert(offsetof(ElementRecord, parent) == 16);
static_assert(offsetof(ElementRecord, firstChild) == 20);
static_assert(offsetof(ElementRecord, nextSibling) == 24);
static_assert(offsetof(ElementRecord, prevSibling) == 28);

using xml::Attr;
using xml::NodeType;

CXmlReader::CXmlReader() { Clear(); }
CXmlReader::~CXmlReader() = default;

void CXmlReader::Reserve(uint32_t records) {
  uint32_t capacity = blocks_.empty()
                          ? 0
                          : static_cast<uint32_t>((blocks_.size() - 1) * kBlockRecords) + lastBlockCapacity_;
  capacity_ = capacity;
  if (records <= capacity) return;
  // Fill the last block, then add blocks sized for what is still missing.
  if (!blocks_.empty() && lastBlockCapacity_ < kBlockRecords) {
    uint32_t want = records - capacity + lastBlockCapacity_;
    if (want > kBlockRecords) want = kBlockRecords;
    std::unique_ptr<ElementRecord[]> grown(new ElementRecord[want]);
    std::memcpy(grown.get(), blocks_.back().get(), sizeof(ElementRecord) * lastBlockCapacity_);
    blocks_.back() = std::move(grown);
    capacity += want - lastBlockCapacity_;
    lastBlockCapacity_ = want;
  }
  while (capacity < records) {
    uint32_t want = records - capacity;
    if (want > kBlockRecords) want = kBlockRecords;
    blocks_.emplace_back(new ElementRecord[want]);
    lastBlockCapacity_ = want;
    capacity += want;
  }
  capacity_ = capacity;
}

void CXmlReader::Grow() { Reserve(capacity_ + capacity_ / 2 + 1); }

std::size_t CXmlReader::IndexBytes() const {
  if (blocks_.empty()) return 0;
  return ((blocks_.size() - 1) * kBlockRecords + lastBlockCapacity_) * sizeof(ElementRecord);
}

void CXmlReader::ResetPositions() {
  enclosing_ = current_ = child_ = 0;
  nodeKind_ = XmlNodeKind::kNone;
  nodeOffset_ = nodeLength_ = 0;
}

void CXmlReader::Clear() {
  text_.clear();
  ResetPositions();
  Reserve(1);
  std::memset(&At(0), 0, sizeof(ElementRecord));
  nextFree_ = 1;
}

bool CXmlReader::SetText(std::u16string text) {
  text_ = std::move(text);
  log_.clear();
  docFlags_ = 0;
  return Index();
}

// Builds the element index from the scanner's nodes: one forward pass, no copy
// of names or contents (the open-element stack keeps positions, not strings).
class XmlIndexBuilder {
 public:
  explicit XmlIndexBuilder(CXmlReader& r) : r_(r), text_(r.text_.data()), size_(r.text_.size()) {}

  void Run() {
    const char16_t* end = text_ + size_;
    std::size_t pos = 0;
    while (true) {
      if (pos >= size_) {
        while (!stack_.empty()) CloseUnended(static_cast<uint32_t>(size_));
        return;
      }
      // Text and whitespace are passed over: the next node starts at the next '<'.
      if (text_[pos] != u'<') {
        pos = static_cast<std::size_t>(xml::FindUnit(text_ + pos, end, u'<') - text_);
        continue;
      }
      // Tags whose name runs straight to '>', '/>' or whitespace are read here
      // without a second pass over the name; everything else goes through the
      // general scanner.
      if (pos + 2 < size_) {
        char16_t n = text_[pos + 1];
        bool isEnd = n == u'/';
        // Most end tags close the innermost element: compare with its name.
        if (isEnd && !stack_.empty() && stack_.back().plain) {
          const Open& top = stack_.back();
          std::size_t close = pos + 2 + top.nameLength;
          if (close < size_ && close + 1 - pos <= kMaxEndTagLength && text_[close] == u'>' &&
              xml::SameUnits(text_ + pos + 2, text_ + top.nameStart, top.nameLength)) {
            CloseInnermost(pos, close + 1 - pos);
            pos = close + 1;
            continue;
          }
        }
        if (isEnd || (n >= u'A' && n <= u'Z') || n == u'_' || n == u':' || n > 0x60) {
          std::size_t from = pos + (isEnd ? 2 : 1);
          std::size_t i = xml::SkipTagName(text_, from, size_);
          if (i < size_ && text_[i] != u'=') {
            std::u16string_view name(text_ + from, i - from);
            xml::ScannedNode node;
            if (text_[i] == u'>') {
              node = {isEnd ? NodeType::kEndTag : NodeType::kStartTag, pos, i + 1 - pos};
            } else if (!isEnd && text_[i] == u'/' && i + 1 < size_ && text_[i + 1] == u'>') {
              node = {NodeType::kEmptyTag, pos, i + 2 - pos};
            } else {
              node = xml::ScanTagFrom(text_, size_, pos, i, isEnd);
            }
            if (node.type == NodeType::kEndTag) {
              EndTag(node, name);
            } else if (node.type == NodeType::kError) {
              ErrorNode(node.error, node.unterminatedType, node.start);
            } else {
              StartTag(node, name, true);
            }
            pos = node.start + node.length;
            continue;
          }
        }
      }
      xml::ScannedNode node = xml::ScanNode(text_, size_, pos);
      switch (node.type) {
        case NodeType::kStartTag:
        case NodeType::kEmptyTag:
          StartTag(node, xml::ScannedTagName(text_, node.start + 1, node.start + node.length), false);
          break;
        case NodeType::kEndTag:
          EndTag(node, xml::ScannedTagName(text_, node.start + 2, node.start + node.length));
          break;
        case NodeType::kError:
          ErrorNode(node.error, node.unterminatedType, node.start);
          break;
        default:
          break;
      }
      pos = node.start + node.length;
    }
  }

 private:
  struct Open {
    uint32_t record;
    uint32_t nameStart;
    uint32_t nameLength : 31;
    // The name holds none of the units that stop the quick scan (it was found
    // by that scan), so "</" name ">" is its end tag as the scanner reads it.
    uint32_t plain : 1;
    // A cheap first test before comparing names, taken only when an end tag
    // does not close the innermost element; 0 until then.
    uint32_t hash;
  };

  static uint32_t Hash(std::u16string_view name) {
    uint32_t h = 2166136261u;
    for (char16_t c : name) h = (h ^ c) * 16777619u;
    return h | 1;
  }

  bool NameIs(const Open& o, std::u16string_view name) const {
    return o.nameLength == name.size() && xml::SameUnits(text_ + o.nameStart, name.data(), name.size());
  }

  uint32_t Innermost() const { return stack_.empty() ? 0 : stack_.back().record; }

  void MarkIllFormed() {
    r_.At(0).flags |= kRecordDocumentIllFormed;
    r_.At(Innermost()).flags |= kRecordIllFormed;
  }

  void ErrorNode(const char* entry, const char* type, std::size_t offset) {
    MarkIllFormed();
    if (type) {
      char16_t word[32];
      std::size_t n = 0;
      while (type[n] && n < 31) {
        word[n] = static_cast<char16_t>(type[n]);
        ++n;
      }
      xml::AppendLogEntry(r_.log_, entry, {Attr("type", std::u16string_view(word, n)), Attr("offset", offset)});
      return;
    }
    xml::AppendLogEntry(r_.log_, entry, {Attr("offset", offset)});
  }

  void AppendChild(uint32_t parent, uint32_t child) {
    ElementRecord& p = r_.At(parent);
    ElementRecord& c = r_.At(child);
    c.parent = parent;
    if (p.firstChild == 0) {
      p.firstChild = child;
      c.flags |= kRecordFirstSibling;
      c.prevSibling = child;
    } else {
      ElementRecord& first = r_.At(p.firstChild);
      uint32_t last = first.prevSibling;
      r_.At(last).nextSibling = child;
      c.prevSibling = last;
      first.prevSibling = child;
    }
  }

  void StartTag(const xml::ScannedNode& node, std::u16string_view name, bool plain) {
    bool empty = node.type == NodeType::kEmptyTag;
    if (node.length > kMaxStartTagLength) {
      TooLong("tag_too_long", node.start);
      return;
    }
    if (!empty && stack_.size() >= kMaxDepth) {
      TooLong("nesting_too_deep", node.start);
      return;
    }
    uint32_t parent = Innermost();
    uint32_t index = r_.NewRecord();
    ElementRecord& rec = r_.At(index);
    rec.start = static_cast<int32_t>(node.start);
    rec.startTagLength = static_cast<uint32_t>(node.length);
    rec.length = static_cast<int32_t>(node.length);
    rec.level = static_cast<uint16_t>(stack_.size());
    AppendChild(parent, index);
    if (!empty) {
      stack_.push_back({index, static_cast<uint32_t>(name.data() - text_), static_cast<uint32_t>(name.size()), plain, 0});
    }
  }

  void TooLong(const char* entry, std::size_t offset) {
    MarkIllFormed();
    xml::AppendLogEntry(r_.log_, entry, {Attr("offset", offset)});
  }

  void EndTag(const xml::ScannedNode& node, std::u16string_view name) {
    if (node.length > kMaxEndTagLength) {
      TooLong("tag_too_long", node.start);
      return;
    }
    std::size_t k = stack_.size();
    if (k == 0 || !NameIs(stack_.back(), name)) {
      // Not the innermost element: hashes keep a hostile run of unmatched end
      // tags from comparing every name on a deep stack.
      uint32_t h = Hash(name);
      while (k > 0) {
        Open& o = stack_[k - 1];
        if (o.hash == 0) o.hash = Hash(std::u16string_view(text_ + o.nameStart, o.nameLength));
        if (o.hash == h && NameIs(o, name)) break;
        --k;
      }
    }
    if (k == 0) {
      MarkIllFormed();
      xml::AppendLogEntry(r_.log_, "lone_end_tag", {Attr("tagname", name), Attr("offset", node.start)});
      return;
    }
    while (stack_.size() > k) CloseUnended(static_cast<uint32_t>(node.start + 1));
    CloseInnermost(node.start, node.length);
  }

  void CloseInnermost(std::size_t endTagStart, std::size_t endTagLength) {
    ElementRecord& rec = r_.At(stack_.back().record);
    rec.length = static_cast<int32_t>(endTagStart + endTagLength - static_cast<std::size_t>(rec.start));
    rec.endTagLength = static_cast<uint32_t>(endTagLength);
    stack_.pop_back();
  }

  // Closes the innermost open element without an end tag: its children move
  // up to follow it under its parent.
  void CloseUnended(uint32_t offset2) {
    Open open = stack_.back();
    stack_.pop_back();
    ElementRecord& rec = r_.At(open.record);
    rec.length = static_cast<int32_t>(rec.startTagLength);
    rec.endTagLength = 0;
    rec.flags |= kRecordUnended;
    r_.At(0).flags |= kRecordDocumentIllFormed;
    uint32_t parentIndex = rec.parent;
    if (rec.flags & kRecordIllFormed) {
      rec.flags &= static_cast<uint16_t>(~kRecordIllFormed);
      r_.At(parentIndex).flags |= kRecordIllFormed;
    }
    if (rec.firstChild != 0) {
      uint32_t first = rec.firstChild;
      uint32_t last = r_.At(first).prevSibling;
      for (uint32_t c = first; c != 0; c = r_.At(c).nextSibling) r_.At(c).parent = parentIndex;
      ElementRecord& firstRec = r_.At(first);
      firstRec.flags &= static_cast<uint16_t>(~kRecordFirstSibling);
      firstRec.prevSibling = open.record;
      // The open element was its parent's last child.
      rec.nextSibling = first;
      r_.At(r_.At(parentIndex).firstChild).prevSibling = last;
      rec.firstChild = 0;
    }
    xml::AppendLogEntry(r_.log_, "unended_start_tag",
                        {Attr("tagname", std::u16string_view(text_ + open.nameStart, open.nameLength)),
                         Attr("offset", static_cast<uint64_t>(rec.start)), Attr("offset2", offset2)});
  }

  CXmlReader& r_;
  const char16_t* text_;
  std::size_t size_;
  std::vector<Open> stack_;
};

// Records to reserve before indexing: at least size / 64 + 8, and about half
// the '<' of the text (a start and an end tag per element), counted over its
// first 64K units and scaled to the whole. Growing later by halves costs
// copies and fresh pages; server lists hold an element every 30 units or so.
// Capped at one byte of index per byte of text.
static uint32_t EstimatedRecords(const char16_t* text, std::size_t size) {
  std::size_t floor = size / 64 + 8;
  std::size_t sample = size < 65536 ? size : 65536;
  std::size_t tags = 0;
  const char16_t* end = text + sample;
  for (const char16_t* p = text; (p = xml::FindUnit(p, end, u'<')) != end; ++p) ++tags;
  std::size_t estimate = static_cast<std::size_t>(static_cast<double>(tags) / 2 * static_cast<double>(size) /
                                                  static_cast<double>(sample ? sample : 1)) + 8;
  std::size_t cap = size / 16 + 8;
  if (estimate > cap) estimate = cap;
  return static_cast<uint32_t>(estimate > floor ? estimate : floor);
}

bool CXmlReader::Index() {
  ResetPositions();
  // Beyond 2^31 - 1 units the record offsets cannot hold positions.
  if (text_.size() > 0x7FFFFFFE) text_.clear();
  Reserve(EstimatedRecords(text_.data(), text_.size()));
  std::memset(&At(0), 0, sizeof(ElementRecord));
  nextFree_ = 1;
  if (text_.empty()) return false;
  {
    XmlIndexBuilder builder(*this);
    builder.Run();
  }
  ElementRecord& doc = At(0);
  doc.length = static_cast<int32_t>(text_.size());
  bool wellFormed = !(doc.flags & kRecordDocumentIllFormed);
  if (doc.firstChild == 0) {
    xml::AppendLogEntry(log_, "no_root_element", {});
    wellFormed = false;
  } else if (At(doc.firstChild).nextSibling != 0) {
    xml::AppendLogEntry(log_, "root_has_sibling", {});
    wellFormed = false;
  }
  ResetPositions();
  return wellFormed;
}

std::u16string_view CXmlReader::TagName(uint32_t index) const {
  if (index == 0 || index >= nextFree_) return {};
  const ElementRecord& rec = At(index);
  std::size_t i = static_cast<std::size_t>(rec.start) + 1;
  std::size_t end = static_cast<std::size_t>(rec.start) + rec.startTagLength;
  while (i < end && xml::IsXmlSpace(text_[i])) ++i;
  std::size_t from = i;
  while (i < end && !xml::EndsTagName(text_[i])) ++i;
  return {text_.data() + from, i - from};
}

bool CXmlReader::FindChild(std::u16string_view name) {
  if (current_ == 0) {
    uint32_t first = At(enclosing_).firstChild;
    if (first != 0) {
      current_ = first;
      child_ = 0;
      nodeKind_ = XmlNodeKind::kElement;
    }
  }
  // Without a current element the search runs over the top-level elements.
  uint32_t c = child_ != 0 ? At(child_).nextSibling : At(current_).firstChild;
  const char16_t* text = text_.data();
  for (; c != 0; c = At(c).nextSibling) {
    if (!name.empty()) {
      const ElementRecord& rec = At(c);
      std::size_t i = static_cast<std::size_t>(rec.start) + 1;
      std::size_t end = static_cast<std::size_t>(rec.start) + rec.startTagLength;
      while (i < end && xml::IsXmlSpace(text[i])) ++i;
      if (end - i <= name.size()) continue;
      if (std::memcmp(text + i, name.data(), name.size() * sizeof(char16_t)) != 0) continue;
      if (!xml::EndsTagName(text[i + name.size()])) continue;
    }
    child_ = c;
    current_ = At(c).parent;
    enclosing_ = At(current_).parent;
    nodeKind_ = current_ != 0 ? XmlNodeKind::kElement : XmlNodeKind::kNone;
    nodeOffset_ = nodeLength_ = 0;
    return true;
  }
  return false;
}

bool CXmlReader::EnterChild() {
  if (current_ == 0 || nodeKind_ != XmlNodeKind::kElement) return false;
  enclosing_ = current_;
  current_ = child_;
  child_ = 0;
  nodeKind_ = current_ != 0 ? XmlNodeKind::kElement : XmlNodeKind::kNone;
  nodeOffset_ = nodeLength_ = 0;
  return true;
}

bool CXmlReader::LeaveElement() {
  if (enclosing_ == 0) return false;
  child_ = current_;
  current_ = enclosing_;
  enclosing_ = At(enclosing_).parent;
  nodeKind_ = XmlNodeKind::kElement;
  nodeOffset_ = nodeLength_ = 0;
  return true;
}

std::u16string CXmlReader::GetChildText() const {
  if (child_ == 0) return {};
  const ElementRecord& rec = At(child_);
  if (static_cast<uint32_t>(rec.length) == rec.startTagLength || rec.firstChild != 0) return {};
  std::size_t from = static_cast<std::size_t>(rec.start) + rec.startTagLength;
  std::size_t to = static_cast<std::size_t>(rec.start) + static_cast<std::size_t>(rec.length) - rec.endTagLength;
  if (to <= from) return {};
  const char16_t* text = text_.data();
  // Most field values hold neither markup nor references: one pass finds
  // that, and the value is copied out as it stands.
  const char16_t* special = xml::FindEither(text + from, text + to, u'<', u'&');
  if (special == text + to) return std::u16string(text + from, text + to);
  std::u16string out;
  if (*special == u'&' && xml::FindUnit(special, text + to, u'<') == text + to) {
    out.reserve(to - from);
    out.append(text + from, special);
    xml::AppendDecoded(out, special, static_cast<std::size_t>(text + to - special));
    return out;
  }
  // Markup inside: text nodes decoded, CDATA sections literally, the rest dropped.
  std::size_t pos = from;
  while (pos < to) {
    xml::ScannedNode node = xml::ScanNode(text, to, pos);
    if (node.type == NodeType::kEnd || node.length == 0) break;
    if (node.type == NodeType::kText) {
      xml::AppendDecoded(out, text + node.start, node.length);
    } else if (node.type == NodeType::kCdata && node.length >= 12) {
      out.append(text + node.start + 9, node.length - 12);
    }
    pos = node.start + node.length;
  }
  return out;
}
