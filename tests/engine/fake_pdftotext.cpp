// A stand-in for the PDF converter, built by the tests: it reads an
// instruction from the "PDF" it is given and writes, hangs or fails.
//   write:<text>  writes <text> as UTF-16BE without a mark (a "|" is CR LF)
//   args          writes "count:<n>" and then each of its n arguments, one
//                 per line, the same way
//   hang          never ends by itself
//   delete        removes the output file and succeeds
//   fail          exits with 1 without writing
// Arguments: <pdf> -enc <encoding...> <output>, as the engine passes them. A
// first argument that begins with "-" would be an option: that fails (5).
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

// The text is ASCII or Latin-1 in UTF-8; two-byte sequences are decoded.
void WriteText(std::ofstream& out, const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned c = static_cast<unsigned char>(text[i]);
    if ((c & 0xE0) == 0xC0 && i + 1 < text.size())
      c = ((c & 0x1F) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F);
    if (c == '|') {
      out.write("\0\r\0\n", 4);
      continue;
    }
    char unit[2] = {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    out.write(unit, 2);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  if (argv[1][0] == '-') return 5;
  std::ifstream in(argv[1], std::ios::binary);
  std::string instruction((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const char* output = argv[argc - 1];
  if (instruction.rfind("hang", 0) == 0)
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  if (instruction.rfind("delete", 0) == 0) return std::remove(output) == 0 ? 0 : 3;
  if (instruction.rfind("fail", 0) == 0) return 1;
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  if (instruction.rfind("args", 0) == 0) {
    std::string text = "count:" + std::to_string(argc - 1);
    for (int i = 1; i < argc; ++i) text += std::string("|") + argv[i];
    WriteText(out, text + "|");
    return 0;
  }
  if (instruction.rfind("write:", 0) != 0) return 4;
  WriteText(out, instruction.substr(6));
  return 0;
}
