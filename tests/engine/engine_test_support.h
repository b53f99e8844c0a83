// Shared pieces of the engine tests: an encoder of their own for every file
// encoding, the encodings a table runs through, and the layouts that sweep a
// snippet of text across the reader's block boundaries.
#pragma once
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/content_reader.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "test_tree.h"

namespace engine_test {

inline std::string U8(std::u16string_view text) { return platform::ToUtf8(text); }

// Writes a file under a name that did not exist: rewriting a file in place
// makes some file systems flush it to disk on close, which slows sweeps of
// thousands of files to a crawl.
inline std::u16string WriteFresh(testing_support::TempTree& tree, std::u16string_view name,
                                 std::string_view bytes) {
  (void)platform::DeleteFile(tree.Path(name));
  return tree.Write(name, bytes);
}

// The names in a folder, "." and ".." left out.
inline std::set<std::u16string> Names(const std::u16string& folder) {
  std::set<std::u16string> names;
  platform::FolderListing listing;
  platform::FolderEntry entry;
  if (listing.Open(folder))
    while (listing.Next(entry))
      if (entry.name != u"." && entry.name != u"..") names.insert(entry.name);
  return names;
}

inline std::string Mark(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kAnsi: return "";
    case TextEncoding::kUtf8: return "\xEF\xBB\xBF";
    case TextEncoding::kUtf16Le: return "\xFF\xFE";
    case TextEncoding::kUtf16Be: return "\xFE\xFF";
    case TextEncoding::kUtf32Le: return std::string("\xFF\xFE\0\0", 4);
    case TextEncoding::kUtf32Be: return std::string("\0\0\xFE\xFF", 4);
  }
  return "";
}

// A surrogate pair becomes one UTF-32 value.
inline std::string EncodeAs(TextEncoding encoding, std::u16string_view text) {
  std::string out;
  auto put = [&out](unsigned value, int bytes, bool big_endian) {
    for (int i = 0; i < bytes; ++i) {
      int shift = 8 * (big_endian ? bytes - 1 - i : i);
      out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
  };
  switch (encoding) {
    case TextEncoding::kAnsi: return platform::Encode(platform::CodePage::kAnsi, text);
    case TextEncoding::kUtf8: return platform::ToUtf8(text);
    case TextEncoding::kUtf16Le:
      for (char16_t c : text) put(c, 2, false);
      break;
    case TextEncoding::kUtf16Be:
      for (char16_t c : text) put(c, 2, true);
      break;
    case TextEncoding::kUtf32Le:
    case TextEncoding::kUtf32Be:
      for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
          c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
        put(c, 4, encoding == TextEncoding::kUtf32Be);
      }
      break;
  }
  return out;
}

// One way a file can hold text: the bytes are `written` (with its mark when
// `mark`), and the reader must decode them as `read`.
struct Variant {
  const char* name;
  TextEncoding written;
  bool mark;
  TextEncoding read;

  std::string Bytes(std::u16string_view text) const {
    return (mark ? Mark(written) : "") + EncodeAs(written, text);
  }
  std::size_t MarkLength() const { return mark ? Mark(written).size() : 0; }
  // What the reader sees in a file made by Bytes(text).
  std::u16string Content(std::u16string_view text) const {
    if (read == written) return std::u16string(text);
    return platform::Decode(platform::CodePage::kAnsi, EncodeAs(written, text));
  }
};

inline const std::vector<Variant>& Variants() {
  static const std::vector<Variant> variants = {
      {"ANSI", TextEncoding::kAnsi, false, TextEncoding::kAnsi},
      {"UTF-8", TextEncoding::kUtf8, true, TextEncoding::kUtf8},
      // Without a mark UTF-8 is read through the ANSI code page.
      {"UTF-8 unmarked", TextEncoding::kUtf8, false, TextEncoding::kAnsi},
      {"UTF-16LE", TextEncoding::kUtf16Le, true, TextEncoding::kUtf16Le},
      {"UTF-16BE", TextEncoding::kUtf16Be, true, TextEncoding::kUtf16Be},
      {"UTF-32LE", TextEncoding::kUtf32Le, true, TextEncoding::kUtf32Le},
      {"UTF-32BE", TextEncoding::kUtf32Be, true, TextEncoding::kUtf32Be},
  };
  return variants;
}

// "\n" in table texts becomes the line end of the layout.
inline std::u16string WithLineEnds(std::u16string_view text, bool crlf) {
  std::u16string out;
  for (char16_t c : text) {
    if (c == u'\n' && crlf) out.push_back(u'\r');
    out.push_back(c);
  }
  return out;
}

// Text around the snippets: multi-byte in UTF-8, lines of various lengths,
// none of the letters the snippets' patterns use.
inline std::u16string Filler(bool crlf) {
  static const std::u16string_view lines[] = {
      u"lorem ipsum dolor sit amet, consectetur adipiscing elit\n",
      u"\u00b7 sed \u20ac\u20ac do eiusmod tempor \u00e9\u00e9 incididunt ut labore\n",
      u"\n",
      u"ut enim ad minim \u00df\u00df\u00df ",
      u"quis nostrud exercitation ullamco laboris nisi ut aliquip ex ea commodo\n",
  };
  std::u16string out;
  while (out.size() < 4000)
    for (auto line : lines) out += WithLineEnds(line, crlf);
  return out;
}

// Calls `body(prefix_length, text)` for text = filler prefix + snippet +
// filler, with the prefix lengths that put the snippet at the start of the
// file and across (or just beside) the block boundaries after 1024 and 2048
// bytes of content.
inline void ForEachLayout(const Variant& variant, bool crlf, std::u16string_view snippet,
                          const std::function<void(std::size_t, const std::u16string&)>& body) {
  const std::u16string filler = Filler(crlf);
  const std::size_t snippet_bytes = EncodeAs(variant.written, snippet).size();
  std::size_t prefix_bytes = 0;
  for (std::size_t k = 0; k < 3000; ++k) {
    bool near = k == 0;
    for (std::size_t boundary : {1024u, 2048u})
      near = near || (prefix_bytes <= boundary + 2 && prefix_bytes + snippet_bytes + 2 >= boundary);
    if (near) body(k, filler.substr(0, k) + std::u16string(snippet) + filler.substr(0, 300));
    prefix_bytes += EncodeAs(variant.written, filler.substr(k, 1)).size();
  }
}

}  // namespace engine_test
