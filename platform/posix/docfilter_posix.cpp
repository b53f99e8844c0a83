// POSIX stand-in for the document filters (docfilter.h): there are none.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/docfilter.h"
#include "platform/fs.h"
#include "platform/posix/posix_util.h"
#include "platform/text.h"

namespace platform {

struct DocumentFilter::Impl {};

DocumentFilter::DocumentFilter() = default;
DocumentFilter::~DocumentFilter() = default;

std::uint32_t DocumentFilter::Open(std::u16string_view, Stage& failed) {
  failed = Stage::kLoad;
  return kENotImpl;
}

bool DocumentFilter::NextChunk(std::u16string&, int&) { return false; }
void DocumentFilter::Close() {}

std::u16string FindPdfConverter() {
  std::u16string beside = ModuleFolder() + u"/xpdf/pdftotext";
  if (IsExistingFile(beside)) return beside;
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t colon = dirs.find(':', start);
    if (colon == std::string::npos) colon = dirs.size();
    std::string candidate = dirs.substr(start, colon - start) + "/pdftotext";
    if (colon > start && ::access(candidate.c_str(), X_OK) == 0)
      return posix::FromNative(candidate);
    start = colon + 1;
  }
  return {};
}

std::vector<std::u16string> PdfConverterEncodingArguments() {
  return {u"-enc", u"UTF-16", u"-eol", u"dos"};
}

}  // namespace platform
