#include "client/shell/portable_ini.h"

#include "client/shell/utf8.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::u16string_view Trim(std::u16string_view s) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::vector<std::u16string> ReadLines(const std::u16string& file, bool* exists) {
  std::ifstream in(ToUtf8(file), std::ios::binary);
  *exists = static_cast<bool>(in);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  std::vector<std::u16string> lines;
  std::u16string text = FromUtf8(bytes);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    std::u16string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// "[name]" gives name; anything else nullopt.
bool SectionName(std::u16string_view line, std::u16string_view* name) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != u'[') return false;
  std::size_t close = line.find(u']');
  if (close == std::u16string_view::npos) return false;
  *name = Trim(line.substr(1, close - 1));
  return true;
}

bool KeyOf(std::u16string_view line, std::u16string_view* key, std::u16string_view* value) {
  std::size_t equals = line.find(u'=');
  if (equals == std::u16string_view::npos) return false;
  *key = Trim(line.substr(0, equals));
  *value = Trim(line.substr(equals + 1));
  return true;
}

}  // namespace

std::u16string PortableIniFiles::Read(const std::u16string& file, const std::u16string& section,
                                      const std::u16string& key) {
  bool exists = false;
  bool inSection = false;
  for (const std::u16string& line : ReadLines(file, &exists)) {
    std::u16string_view name, lineKey, value;
    if (SectionName(line, &name)) {
      inSection = SameName(name, section);
    } else if (inSection && KeyOf(line, &lineKey, &value) && SameName(lineKey, key)) {
      if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
      return std::u16string(value);
    }
  }
  return {};
}

void PortableIniFiles::Write(const std::u16string& file, const std::u16string& section, const std::u16string& key,
                             const std::u16string& value) {
  bool exists = false;
  std::vector<std::u16string> lines = ReadLines(file, &exists);
  const std::u16string entry = key + u"=" + value;

  std::ptrdiff_t sectionLine = -1, lastInSection = -1, keyLine = -1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::u16string_view name, lineKey, lineValue;
    if (SectionName(lines[i], &name)) {
      if (sectionLine >= 0) break;  // the section ended
      if (SameName(name, section)) sectionLine = lastInSection = static_cast<std::ptrdiff_t>(i);
    } else if (sectionLine >= 0) {
      if (!Trim(lines[i]).empty()) lastInSection = static_cast<std::ptrdiff_t>(i);
      if (KeyOf(lines[i], &lineKey, &lineValue) && SameName(lineKey, key)) {
        keyLine = static_cast<std::ptrdiff_t>(i);
        break;
      }
    }
  }
  if (keyLine >= 0) {
    lines[keyLine] = entry;
  } else if (sectionLine >= 0) {
    lines.insert(lines.begin() + lastInSection + 1, entry);
  } else {
    lines.push_back(u"[" + section + u"]");
    lines.push_back(entry);
  }

  std::u16string text;
  for (const std::u16string& line : lines) text += line + u"\r\n";
  std::ofstream out(ToUtf8(file), std::ios::binary | std::ios::trunc);
  if (out) out << ToUtf8(text);
}
