// CXmlReader: one XML document indexed in place. The UTF-16 text is kept as
// given; indexing lays an array of element positions over it, and a caller
// walks that index forward (FindChild / EnterChild / GetChildText /
// LeaveElement). Element text is cut out and decoded only when asked for.
// Malformed markup never stops indexing: problems go to a diagnostic log and
// the document is reported as not well formed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CodePageConverter;

// One element of the index. 32 bytes; the packed words keep a large server
// list index to a fraction of the text it describes.
struct ElementRecord {
  int32_t start;                // offset of the start tag's '<'
  int32_t length;               // to the end tag's '>' inclusive, or the start tag's length
  uint32_t startTagLength : 22;
  uint32_t endTagLength : 10;   // 0 for an empty-element tag or an unended element
  uint16_t level;               // elements open around it when found
  uint16_t flags;               // kRecord* bits
  uint32_t parent;
  uint32_t firstChild;
  uint32_t nextSibling;
  uint32_t prevSibling;         // the first child's names the last child
};

inline constexpr uint16_t kRecordFirstSibling = 0x01;
inline constexpr uint16_t kRecordUnended = 0x02;
inline constexpr uint16_t kRecordIllFormed = 0x04;
inline constexpr uint16_t kRecordDocumentIllFormed = 0x08;  // record 0 only

inline constexpr uint32_t kMaxStartTagLength = (1u << 22) - 1;
inline constexpr uint32_t kMaxEndTagLength = (1u << 10) - 1;
// Elements open at once. Deeper start tags are error nodes: unended elements
// hand their children up one by one, so unbounded depth would let a hostile
// text cost time quadratic in its length.
inline constexpr uint32_t kMaxDepth = 512;

// Document flags written by LoadFile: which byte order mark the file had.
inline constexpr uint32_t kDocUtf16LeMark = 0x01;
inline constexpr uint32_t kDocUtf8Mark = 0x04;
inline constexpr uint32_t kDocUtf16BeMark = 0x80;

enum class XmlNodeKind : uint8_t { kNone, kElement };

class CXmlReader {
 public:
  CXmlReader();
  ~CXmlReader();
  CXmlReader(const CXmlReader&) = delete;
  CXmlReader& operator=(const CXmlReader&) = delete;

  // Indexes text as the document; clears the log. Returns the well-formed flag.
  bool SetText(std::u16string text);
  // Reads and converts a file (byte order mark, declared encoding, UTF-8 test),
  // then indexes it. False when the file cannot be read; the reader is empty.
  bool LoadFile(const std::u16string& path);
  bool LoadFile(const std::u16string& path, const CodePageConverter& converter);

  bool FindChild(std::u16string_view name);
  bool EnterChild();
  bool LeaveElement();
  std::u16string GetChildText() const;
  const std::u16string& GetDiagnostics() const { return log_; }

  // Read-only views for tests and tools.
  const std::u16string& Text() const { return text_; }
  uint32_t DocumentFlags() const { return docFlags_; }
  uint32_t RecordCount() const { return nextFree_; }
  const ElementRecord& Record(uint32_t index) const { return At(index); }
  uint32_t EnclosingElement() const { return enclosing_; }
  uint32_t CurrentElement() const { return current_; }
  uint32_t CurrentChild() const { return child_; }
  XmlNodeKind NodeKind() const { return nodeKind_; }
  // Tag name of a record, read from the text.
  std::u16string_view TagName(uint32_t index) const;
  // Bytes held by the index (for the benchmark's memory report).
  std::size_t IndexBytes() const;

 private:
  friend class XmlIndexBuilder;
  friend class XmlFileLoader;

  static constexpr uint32_t kBlockShift = 16;
  static constexpr uint32_t kBlockRecords = 1u << kBlockShift;

  ElementRecord& At(uint32_t index) {
    return blocks_[index >> kBlockShift][index & (kBlockRecords - 1)];
  }
  const ElementRecord& At(uint32_t index) const {
    return blocks_[index >> kBlockShift][index & (kBlockRecords - 1)];
  }
  void Reserve(uint32_t records);
  void Grow();
  // Inline: called once per element while indexing.
  uint32_t NewRecord() {
    if (nextFree_ == capacity_) Grow();
    uint32_t index = nextFree_++;
    ElementRecord& rec = At(index);
    rec = ElementRecord{};
    return index;
  }
  bool Index();
  void ResetPositions();
  void Clear();

  std::u16string text_;
  std::u16string log_;
  // Blocks of up to kBlockRecords; only the last, partly filled block is ever
  // reallocated, so growing a large index never moves the full blocks.
  std::vector<std::unique_ptr<ElementRecord[]>> blocks_;
  uint32_t lastBlockCapacity_ = 0;
  uint32_t capacity_ = 0;  // records the blocks hold
  uint32_t nextFree_ = 0;
  uint32_t enclosing_ = 0;
  uint32_t current_ = 0;
  uint32_t child_ = 0;
  XmlNodeKind nodeKind_ = XmlNodeKind::kNone;
  uint32_t nodeOffset_ = 0;
  uint32_t nodeLength_ = 0;
  uint32_t docFlags_ = 0;
};
