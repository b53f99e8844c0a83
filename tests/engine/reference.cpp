// The reference match list: see reference.h.
#include "reference.h"

namespace engine_test {

std::vector<std::size_t> ReferenceMatches(const std::u16string& content,
                                          const std::u16string& pattern, bool case_sensitive) {
  std::u16string haystack = case_sensitive ? content : platform::Lowered(content);
  std::vector<std::size_t> starts;
  for (std::size_t at = haystack.find(pattern); at != std::u16string::npos;
       at = haystack.find(pattern, at + pattern.size()))
    starts.push_back(at);
  return starts;
}

std::u16string ReferenceReplace(const std::u16string& content, const std::u16string& pattern,
                                bool case_sensitive, const std::u16string& replacement) {
  std::u16string out;
  std::size_t done = 0;
  for (std::size_t at : ReferenceMatches(content, pattern, case_sensitive)) {
    out += content.substr(done, at - done) + replacement;
    done = at + pattern.size();
  }
  return out + content.substr(done);
}

namespace {

// The context line: at most one whole word before the word touching the
// match, line ends and tabs shown as blanks, "..." at the end.
std::u16string ShownLine(std::u16string before, const std::u16string& after, std::size_t length,
                         HighlightRange& highlight) {
  std::size_t last = before.rfind(u' ');
  if (last != std::u16string::npos && last > 0) {
    std::size_t earlier = before.rfind(u' ', last - 1);
    if (earlier != std::u16string::npos) before.erase(0, earlier + 1);
  }
  highlight = {static_cast<std::int32_t>(before.size()), static_cast<std::int32_t>(length)};
  std::u16string line = before + after, shown;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line.compare(i, 2, u"\r\n") == 0) {
      shown += u"  ";
      ++i;
    } else {
      shown.push_back(line[i] == u'\n' || line[i] == u'\t' ? u' ' : line[i]);
    }
  }
  return shown + u"...";
}

}  // namespace

MatchList ReferenceList(const Variant& variant, const std::u16string& content,
                        const std::u16string& pattern, bool case_sensitive,
                        std::int32_t replacement_length) {
  // Byte offset of every character in the file.
  std::vector<std::size_t> byte_at(content.size() + 1, variant.MarkLength());
  // A surrogate pair is one character: its bytes are counted at its second
  // unit, so that no byte limit falls between the two.
  for (std::size_t i = 0; i < content.size(); ++i) {
    bool pair = i + 1 < content.size() && content[i] >= 0xD800 && content[i] <= 0xDBFF &&
                content[i + 1] >= 0xDC00 && content[i + 1] <= 0xDFFF;
    byte_at[i + 1] = byte_at[i];
    if (pair) {
      byte_at[i + 2] = byte_at[i] + EncodeAs(variant.read, content.substr(i, 2)).size();
      ++i;
    } else {
      byte_at[i + 1] += EncodeAs(variant.read, content.substr(i, 1)).size();
    }
  }
  MatchList list;
  std::int32_t shift = 0;
  for (std::size_t pos : ReferenceMatches(content, pattern, case_sensitive)) {
    MatchEntry e;
    // The line of the piece the match ends in: one more than the CR LF pairs
    // completed before its last character.
    const std::size_t last = pos + pattern.size() - 1;
    e.line = 1;
    for (std::size_t at = content.find(u"\r\n"); at != std::u16string::npos && at + 1 < last;
         at = content.find(u"\r\n", at + 2))
      ++e.line;
    // 20 characters before; 120 bytes after, a character cut at the end whole.
    std::size_t from = pos > 20 ? pos - 20 : 0;
    std::size_t to = pos;
    while (to < content.size() && byte_at[to] < byte_at[pos] + 120) ++to;
    std::size_t length = pattern.size() - (pattern.ends_with(u"\r\n") ? 2 : 0);
    HighlightRange h;
    e.text = ShownLine(content.substr(from, pos - from), content.substr(pos, to - pos), length, h);
    e.highlights.push_back(h);
    e.position = static_cast<std::int32_t>(pos) + shift;
    if (replacement_length >= 0)
      shift += replacement_length - static_cast<std::int32_t>(pattern.size());
    list.push_back(std::move(e));
  }
  return list;
}

std::vector<std::string> Show(const MatchList& list) {
  std::vector<std::string> out;
  for (const auto& e : list) {
    std::string line = "line " + std::to_string(e.line) + " at " + std::to_string(e.position);
    for (const auto& h : e.highlights)
      line += " [" + std::to_string(h.start) + "+" + std::to_string(h.length) + "]";
    out.push_back(line + " " + U8(e.text));
  }
  return out;
}

}  // namespace engine_test
