// Reason texts and the extension rule of result records.
// Tested by tests/engine/file_result_test.cpp.
#include "engine/file_result.h"

#include <cstdio>

#include "platform/text.h"

namespace {

struct ReasonEntry {
  ResultKind kind;
  std::int32_t code;
  const char16_t* text;
};

// The texts are the program's own; the odd wording of 203 is kept as users
// know it.
constexpr ReasonEntry kReasons[] = {
    {ResultKind::kSkipped, kReasonSkipExtension, u"File extension is in the skip list"},
    {ResultKind::kSkipped, kReasonNullCharacter, u"File contains a NULL character"},
    {ResultKind::kSkipped, kReasonReplaceUnsupported, u"Replace in this type of files is unsupported"},
    {ResultKind::kSkipped, kReasonSymbolicLink, u"Symbolic link: replace runs do not rewrite links"},
    {ResultKind::kSkipped, kReasonHardLinks, u"File has other names (hard links): replace runs do not rewrite it"},
    {ResultKind::kSkipped, kReasonNotRegularFile, u"Not a regular file (device, pipe or socket)"},
    {ResultKind::kSkipped, kReasonLeftover, u"Left behind by an interrupted replace run"},
    {ResultKind::kError, kReasonOpenError, u"File open error"},
    {ResultKind::kError, kReasonReadError, u"File read error"},
    {ResultKind::kError, kReasonTempCreate, u"Failed to create a temporary file"},
    {ResultKind::kError, kReasonTempWrite, u"Failed to create to write to temporary file"},
    {ResultKind::kError, kReasonLoadFilter, u"Load IFilter failed"},
    {ResultKind::kError, kReasonFilter, u"IFilter failed"},
    {ResultKind::kError, kReasonInternal, u"Internal error"},
    {ResultKind::kError, kReasonConvert, u"Failed to convert to plain text"},
    {ResultKind::kError, kReasonTooComplex, u"Pattern too complex for this file"},
    {ResultKind::kError, kReasonNotAFolder, u"Not a folder"},
    {ResultKind::kError, kReasonFolderList, u"Folder cannot be listed"},
    {ResultKind::kFound, kReasonReplaceEncoding, u"Replace failed: the replacement cannot be written in this file's encoding"},
    {ResultKind::kFound, kReasonReplaceRoundTrip, u"Replace failed: the file's content would not survive rewriting unchanged"},
    {ResultKind::kFound, kReasonReplaceTempCreate, u"Replace failed: cannot create the temporary file"},
    {ResultKind::kFound, kReasonReplaceWrite, u"Replace failed: cannot write the temporary file"},
    {ResultKind::kFound, kReasonReplaceSwap, u"Replace failed: cannot put the rewritten file in place"},
    {ResultKind::kFound, kReasonReplaceChanged, u"Replace failed: the file was changed by another program meanwhile"},
    {ResultKind::kFound, kReasonReplaceOwner, u"Replace failed: the file's owner or permissions cannot be kept"},
    {ResultKind::kFound, kReasonReplaceBackup, u"Replace failed: cannot make the backup"},
};

// What the system says for the errors a rewrite meets. The codes are Win32
// codes on every platform (the POSIX layer maps errno onto them), so one
// table serves both and the texts read the same everywhere.
constexpr struct {
  std::uint32_t code;
  const char16_t* text;
} kSystemErrors[] = {
    {2, u"The system cannot find the file specified."},
    {3, u"The system cannot find the path specified."},
    {5, u"Access is denied."},
    {8, u"Not enough memory is available to process this command."},
    {29, u"The system cannot write to the specified device."},
    {30, u"The system cannot read from the specified device."},
    {32, u"The process cannot access the file because it is being used by another process."},
    {80, u"The file exists."},
    {112, u"There is not enough space on the disk."},
    {206, u"The filename or extension is too long."},
    {1175, u"Unable to remove the file to be replaced."},
    {1176, u"Unable to move the replacement file to the file to be replaced."},
    {1177, u"Unable to move the replacement file to the file to be replaced; it still has its own name."},
};

}  // namespace

std::u16string SystemErrorText(std::uint32_t error_code) {
  for (const auto& entry : kSystemErrors)
    if (entry.code == error_code) return entry.text;
  return {};
}

std::u16string ExtensionOf(std::u16string_view name) {
  std::size_t dot = name.rfind(u'.');
  return dot == std::u16string_view::npos ? std::u16string() : std::u16string(name.substr(dot + 1));
}

std::u16string ReasonText(ResultKind kind, std::int32_t reason, std::uint32_t error_code) {
  std::u16string text;
  // A found file carries a reason only when its replacement failed, and then
  // it may be any reason the pass met (a read error, for one).
  for (const auto& entry : kReasons) {
    if ((entry.kind == kind || kind == ResultKind::kFound) && entry.code == reason) text = entry.text;
  }
  // A failed rewrite also says, in words, what the system reported.
  if (reason >= kReasonReplaceEncoding && error_code != 0) {
    std::u16string system = SystemErrorText(error_code);
    if (!system.empty()) text += u": " + system.substr(0, system.size() - 1);
  }
  if (error_code != 0) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, " (error=0x%x)", error_code);
    text += platform::FromUtf8(suffix);
  }
  return text;
}
