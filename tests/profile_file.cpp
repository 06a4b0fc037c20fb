#include "tests/profile_file.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <vector>

namespace quennavar::host {
namespace {

constexpr char kBlanks[] = " \t";

std::string Trim(const std::string& text) {
  std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool SameText(const std::string& a, const std::string& b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return std::ranges::equal(a, b, {}, lower, lower);
}

// A file that cannot be read has no lines, as an empty one.
std::vector<std::string> ReadLines(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    std::erase(line, '\r');
    lines.push_back(line);
  }
  return lines;
}

std::optional<std::string> SectionName(const std::string& line) {
  std::string text = Trim(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  std::size_t close = text.find(']');  // without one, the name is the rest
  return Trim(text.substr(1, close == std::string::npos ? close : close - 1));
}

// Where a section's lines lie: its header and one past its last key.
struct SectionSpan {
  std::size_t header, end;
};

std::optional<SectionSpan> FindSection(const std::vector<std::string>& lines,
                                       const std::string& section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::optional<std::string> name = SectionName(lines[i]);
    if (!name || !SameText(*name, section)) continue;
    std::size_t end = i + 1;
    for (std::size_t j = i + 1; j < lines.size() && !SectionName(lines[j]); ++j)
      if (!Trim(lines[j]).empty()) end = j + 1;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<std::string>& lines, SectionSpan span,
                                   const std::string& key) {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    std::size_t equals = lines[i].find('=');
    if (equals != std::string::npos && SameText(Trim(lines[i].substr(0, equals)), key)) return i;
  }
  return std::nullopt;
}

std::string Unquoted(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, std::uint32_t size,
                                    const std::string& fileName) {
  std::string value = defaultValue.substr(0, defaultValue.find_last_not_of(' ') + 1);
  const std::vector<std::string> lines = ReadLines(fileName);
  if (std::optional<SectionSpan> span = FindSection(lines, section))
    if (std::optional<std::size_t> at = FindKey(lines, *span, key))
      value = Unquoted(Trim(lines[*at].substr(lines[*at].find('=') + 1)));
  return size == 0 ? "" : value.substr(0, size - 1);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& fileName) {
  std::vector<std::string> lines = ReadLines(fileName);
  std::string entry = key + "=" + value;
  if (std::optional<SectionSpan> span = FindSection(lines, section)) {
    if (std::optional<std::size_t> at = FindKey(lines, *span, key))
      lines[*at] = entry;
    else
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(span->end), entry);
  } else {
    lines.insert(lines.end(), {"[" + section + "]", entry});
  }
  // A file that cannot be opened takes none of the writes, and the stream
  // says so.
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) file << line << "\r\n";
  return static_cast<bool>(file.flush());
}

}  // namespace quennavar::host
