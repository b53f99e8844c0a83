// The document filters through LoadIFilter and IFilter (docfilter.h). The
// calling thread has initialised COM (the finder's worker thread does).
#include <windows.h>
#include <filter.h>
#include <filterr.h>
#include <ntquery.h>

#include <vector>

#include "platform/docfilter.h"
#include "platform/fs.h"

namespace platform {

namespace {
constexpr ULONG kInitFlags = IFILTER_INIT_APPLY_INDEX_ATTRIBUTES | IFILTER_INIT_APPLY_OTHER_ATTRIBUTES |
                             IFILTER_INIT_INDEXING_ONLY | IFILTER_INIT_APPLY_CRAWL_ATTRIBUTES |
                             IFILTER_INIT_FILTER_OWNED_VALUE_OK;  // 0x370
constexpr ULONG kTextBuffer = 20480;
}  // namespace

struct DocumentFilter::Impl {
  IFilter* filter = nullptr;
};

DocumentFilter::DocumentFilter() : impl_(std::make_unique<Impl>()) {}
DocumentFilter::~DocumentFilter() { Close(); }

std::uint32_t DocumentFilter::Open(std::u16string_view path, Stage& failed) {
  Close();
  std::wstring wide(path.begin(), path.end());
  void* filter = nullptr;
  HRESULT hr = LoadIFilter(wide.c_str(), nullptr, &filter);
  if (FAILED(hr) || !filter) {
    failed = Stage::kLoad;
    wchar_t text[64];
    wsprintfW(text, L"LoadIFilter failed, err = 0x%x", static_cast<unsigned>(hr));
    OutputDebugStringW(text);
    return static_cast<std::uint32_t>(FAILED(hr) ? hr : E_FAIL);
  }
  impl_->filter = static_cast<IFilter*>(filter);
  ULONG flags = 0;
  hr = impl_->filter->Init(kInitFlags, 0, nullptr, &flags);
  if (FAILED(hr)) {
    failed = Stage::kInit;
    wchar_t text[64];
    wsprintfW(text, L"IFilter Init failed, err = 0x%x", static_cast<unsigned>(hr));
    OutputDebugStringW(text);
    Close();
    return static_cast<std::uint32_t>(hr);
  }
  return 0;
}

bool DocumentFilter::NextChunk(std::u16string& text, int& break_type) {
  text.clear();
  if (!impl_->filter) return false;
  STAT_CHUNK chunk{};
  if (FAILED(impl_->filter->GetChunk(&chunk))) return false;
  break_type = static_cast<int>(chunk.breakType);
  if (!(chunk.flags & CHUNK_TEXT)) return true;
  std::vector<WCHAR> buffer(kTextBuffer);
  while (true) {
    ULONG count = kTextBuffer;
    HRESULT hr = impl_->filter->GetText(&count, buffer.data());
    if (hr == FILTER_E_NO_MORE_TEXT || FAILED(hr)) break;
    text.append(reinterpret_cast<const char16_t*>(buffer.data()), count);
    if (hr == FILTER_S_LAST_TEXT) break;
  }
  return true;
}

void DocumentFilter::Close() {
  if (impl_ && impl_->filter) {
    impl_->filter->Release();
    impl_->filter = nullptr;
  }
}

std::u16string FindPdfConverter() {
  std::u16string path = ModuleFolder() + u"\\xpdf\\pdftotext.exe";
  return IsExistingFile(path) ? path : std::u16string();
}

std::vector<std::u16string> PdfConverterEncodingArguments() { return {u"-enc", u"UCS-2"}; }

}  // namespace platform
