// Platform-independent part of text.h: decoding a byte stream in blocks.
// Tested by tests/platform/text_test.cpp.
#include "platform/text.h"

namespace platform {

void StreamDecoder::Decode(std::string_view bytes, std::u16string& out) {
  std::string_view input = bytes;
  std::string joined;
  if (!held_.empty()) {
    joined = held_ + std::string(bytes);
    input = joined;
  }
  std::size_t tail = IncompleteTail(page_, input);
  DecodeAppend(page_, input.substr(0, input.size() - tail), out);
  held_.assign(input.substr(input.size() - tail));
}

void StreamDecoder::Finish(std::u16string& out) {
  if (held_.empty()) return;
  DecodeAppend(page_, held_, out);
  held_.clear();
}

std::u16string Decode(CodePage page, std::string_view bytes) {
  std::u16string out;
  DecodeAppend(page, bytes, out);
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace platform
