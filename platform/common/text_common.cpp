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

}  // namespace platform
