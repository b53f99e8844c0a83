// Document text extraction through document filters and the PDF converter.
// Tested by tests/engine/document_finder_test.cpp.
#include "engine/document_finders.h"

#include <mutex>
#include <vector>

#include "platform/docfilter.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "platform/text.h"

namespace {

std::mutex g_config_lock;
std::u16string g_temp_folder;
std::u16string g_converter;

constexpr std::size_t kMaxParameters = 512;
constexpr std::uint32_t kErrorRange = 34;  // ERANGE: the parameter text is too long

}  // namespace

void SetDocumentTempFolder(const std::u16string& folder) {
  std::lock_guard<std::mutex> guard(g_config_lock);
  g_temp_folder = folder;
}

std::u16string DocumentTempFolder() {
  std::lock_guard<std::mutex> guard(g_config_lock);
  if (g_temp_folder.empty()) return platform::SystemTempPath() + platform::kPathSeparator + u"Varnel";
  return g_temp_folder;
}

void SetPdfConverterPath(const std::u16string& path) {
  std::lock_guard<std::mutex> guard(g_config_lock);
  g_converter = path;
}

// A relative path that begins with "-" gets "./" before it (".\" on
// Windows); absolute paths never begin with one.
static std::u16string NotAnOption(const std::u16string& path) {
  if (!path.starts_with(u'-')) return path;
  return std::u16string(u".") + platform::kPathSeparator + path;
}

static std::u16string PdfConverter() {
  {
    std::lock_guard<std::mutex> guard(g_config_lock);
    if (!g_converter.empty()) return g_converter;
  }
  return platform::FindPdfConverter();
}

// ---- CConvertedTextFinder ------------------------------------------------------

CConvertedTextFinder::~CConvertedTextFinder() {
  reader.Close();
  if (!converted_path.empty()) (void)platform::DeleteFile(converted_path);
}

bool CConvertedTextFinder::NewConvertedFile() {
  std::u16string folder = DocumentTempFolder();
  if (!platform::IsExistingFolder(folder)) (void)platform::CreateFolderTree(folder);
  std::u16string name;
  if (!platform::CreateTempFileName(folder, u"VN_", name)) return false;
  if (!converted_path.empty()) (void)platform::DeleteFile(converted_path);
  converted_path = name;
  return true;
}

bool CConvertedTextFinder::OpenConverted(bool little_endian) {
  path = converted_path;
  converted_text = true;
  converted_little_endian = little_endian;
  canceled = false;
  return OpenReader(false);
}

bool CConvertedTextFinder::Fail(std::int32_t reason_code, std::uint32_t code) {
  result_kind = ResultKind::kError;
  reason = reason_code;
  error_code = code;
  return false;
}

// ---- CIFilterTextFinder -----------------------------------------------------------

bool CIFilterTextFinder::Extract() {
  platform::DocumentFilter filter;
  platform::DocumentFilter::Stage stage;
  if (std::uint32_t hr = filter.Open(path, stage))
    return Fail(stage == platform::DocumentFilter::Stage::kLoad ? kReasonLoadFilter : kReasonFilter, hr);
  if (!NewConvertedFile()) return false;
  platform::File out;
  if (!out.Open(converted_path, platform::File::Mode::kWriteCreate)) return Fail(kReasonTempCreate, 0);
  if (!out.Write("\xFF\xFE", 2)) return Fail(kReasonTempWrite, 0);
  std::u16string text;
  int break_type = 0;
  std::string bytes;
  while (filter.NextChunk(text, break_type)) {
    if (stop_event && stop_event->Poll()) {
      canceled = true;
      return false;
    }
    if (break_type == platform::DocumentFilter::kBreakSentence ||
        break_type == platform::DocumentFilter::kBreakParagraph ||
        break_type == platform::DocumentFilter::kBreakChapter)
      text += u"\r\n";
    if (text.empty()) continue;
    bytes.clear();
    (void)EncodeText(TextEncoding::kUtf16Le, text, bytes);
    if (!out.Write(bytes.data(), bytes.size())) return Fail(kReasonTempWrite, 0);
  }
  if (!out.Close()) return Fail(kReasonTempWrite, 0);
  return true;
}

bool CIFilterTextFinder::Open() {
  canceled = false;
  return Extract() && OpenConverted(true);
}

// ---- CPDFTextFinder -----------------------------------------------------------------

bool CPDFTextFinder::Open() {
  canceled = false;
  if (!NewConvertedFile()) return false;
  std::u16string converter = PdfConverter();
  if (converter.empty()) return Fail(kReasonInternal, platform::err::file_not_found);
  // Every argument goes to the converter as one argument whatever its name
  // holds (quotes, blanks); a name that begins with "-" is never taken for
  // an option.
  std::vector<std::u16string> arguments = {NotAnOption(path)};
  for (auto& argument : platform::PdfConverterEncodingArguments()) arguments.push_back(argument);
  arguments.push_back(NotAnOption(converted_path));
  if (platform::JoinArguments(arguments).size() > kMaxParameters)
    return Fail(kReasonInternal, kErrorRange);
  platform::ChildProcess converter_process;
  if (!converter_process.Start(converter, arguments))
    return Fail(kReasonInternal, converter_process.error());
  // Wait for the converter and the stop event together: a stop ends the
  // converter and the pass at once, and a converter that overruns is ended
  // rather than left running; its output so far is searched.
  bool converted = true;
  switch (converter_process.Wait(kConverterTimeoutMs, stop_event)) {
    case platform::ChildProcess::WaitResult::kStopped:
      converter_process.Terminate();
      canceled = true;
      return false;
    case platform::ChildProcess::WaitResult::kTimedOut:
      converter_process.Terminate();
      break;
    case platform::ChildProcess::WaitResult::kExited:
      // The converter says when it could not read the document; an empty
      // text would otherwise pass for a document without the search text.
      converted = converter_process.exit_code() == 0;
      break;
    case platform::ChildProcess::WaitResult::kFailed:
      break;
  }
  if (!converted || !platform::IsExistingFile(converted_path)) return Fail(kReasonConvert, 0);
  return OpenConverted(false);
}
