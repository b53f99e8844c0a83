// What a search reports for one file or folder: found, skipped with a reason,
// or failed with a reason and an error code; and the match list of a file.
// Tested by tests/engine/file_result_test.cpp.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

// kNone: what a content pass says while nothing went wrong; never a record's kind.
enum class ResultKind : std::int32_t { kNone = 0, kFound = 2, kSkipped = 3, kError = 4 };

enum ReasonCode : std::int32_t {
  kReasonNone = 0,
  kReasonSkipExtension = 100,
  kReasonNullCharacter = 101,
  kReasonReplaceUnsupported = 102,
  // Replace runs leave these alone: rewriting would cut a link or break the
  // sharing of one file by several names.
  kReasonSymbolicLink = 103,
  kReasonHardLinks = 104,
  // Devices, pipes and sockets are never opened for their content.
  kReasonNotRegularFile = 105,
  // A ".vnold" name is the program's own swap name: a file under it was left
  // by a replace run that was interrupted.
  kReasonLeftover = 106,
  kReasonOpenError = 200,
  kReasonReadError = 201,
  kReasonTempCreate = 202,
  kReasonTempWrite = 203,
  kReasonLoadFilter = 204,
  kReasonFilter = 205,
  kReasonInternal = 206,
  kReasonConvert = 207,
  // A regular expression that needs more work or depth than a search of one
  // file may spend (it would otherwise hang the run or overflow the stack).
  kReasonTooComplex = 208,
  // A folder to search that is a file, or that cannot be listed.
  kReasonNotAFolder = 209,
  kReasonFolderList = 210,
  // Why a found file was not rewritten (the record stays Found with replaces
  // -1); error_code holds the system error where there is one.
  kReasonReplaceEncoding = 300,
  kReasonReplaceRoundTrip = 301,
  kReasonReplaceTempCreate = 302,
  kReasonReplaceWrite = 303,
  kReasonReplaceSwap = 304,
  kReasonReplaceChanged = 305,
  kReasonReplaceOwner = 306,
  kReasonReplaceBackup = 307,
};

struct HighlightRange {
  std::int32_t start = 0;
  std::int32_t length = 0;
};

struct MatchEntry {
  std::int64_t line = 0;
  std::u16string text;
  std::vector<HighlightRange> highlights;
  std::int64_t position = 0;
};

using MatchList = std::vector<MatchEntry>;

struct FileResult {
  std::u16string file_name;
  std::u16string folder;
  std::uint64_t size = 0;
  std::u16string type;
  bool is_folder = false;
  std::int32_t replaces = 0;
  MatchList matches;
  platform::FileTime date_modified = 0;
  ResultKind kind = ResultKind::kFound;
  std::int32_t reason = kReasonNone;
  std::uint32_t error_code = 0;
};

// A folder's batch. Whoever receives a batch owns it and its records.
using FileResultBatch = std::vector<std::unique_ptr<FileResult>>;

inline constexpr std::uint64_t kFolderSize = ~std::uint64_t{0};

// The text after the last "." of a name; empty when there is none.
std::u16string ExtensionOf(std::u16string_view name);

// The text shown for a reason: empty for a code the kind does not have; an
// error code adds " (error=0x%x)", and for a failed rewrite the system's
// words for it before that. A found file's reason (its rewrite failed) may
// be any code.
// The system's message for a Win32 error code; empty for one not known.
std::u16string SystemErrorText(std::uint32_t error_code);

std::u16string ReasonText(ResultKind kind, std::int32_t reason, std::uint32_t error_code);
