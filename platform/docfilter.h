// The system's document filters (LoadIFilter and IFilter on Windows), which
// turn office documents and help files into text chunk by chunk.
// Tested by tests/engine/document_finder_test.cpp.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// COM result codes the engine reports.
inline constexpr std::uint32_t kENotImpl = 0x80004001u;

class DocumentFilter {
 public:
  enum class Stage { kLoad, kInit };
  // Chunk break types: end of sentence, paragraph and chapter end a line.
  static constexpr int kBreakSentence = 2;
  static constexpr int kBreakParagraph = 3;
  static constexpr int kBreakChapter = 4;

  DocumentFilter();
  ~DocumentFilter();
  DocumentFilter(const DocumentFilter&) = delete;
  DocumentFilter& operator=(const DocumentFilter&) = delete;

  // LoadIFilter(path) and Init(0x370). Returns 0, or the failing call's
  // result code with `failed` telling which call failed. The POSIX stand-in
  // has no filters: LoadIFilter fails with E_NOTIMPL, as under Wine.
  std::uint32_t Open(std::u16string_view path, Stage& failed);
  // The next chunk (GetChunk, then GetText for a text chunk until no more
  // text); false when GetChunk fails, which ends the document. `text` is
  // empty for a value chunk.
  bool NextChunk(std::u16string& text, int& break_type);
  void Close();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The PDF converter: ModuleFolder() + "xpdf" + its executable name when that
// exists; on POSIX otherwise "pdftotext" from PATH. Empty when none is found.
std::u16string FindPdfConverter();
// The converter's encoding arguments: the Windows converter writes UCS-2;
// Debian's converter calls the same big-endian 16-bit text without a mark
// "UTF-16" and needs "-eol dos" for the CR LF line ends the engine expects.
std::vector<std::u16string> PdfConverterEncodingArguments();

}  // namespace platform
