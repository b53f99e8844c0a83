// A find-mode shortcut for the common case: an unmarked file in a single-byte
// ANSI code page searched for an ASCII text. Such a file's decoded text holds
// the text exactly where its bytes do, so the bytes are searched directly,
// without decoding or cutting pieces. Anything it cannot decide exactly is
// left to the full content pass.
// Tested by tests/engine/quick_scan_test.cpp.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sync.h"

enum class QuickScanResult { kNotFound, kFound, kSkippedNul, kCanceled, kUnsure };

// Whether the shortcut applies to a pattern (already lower-cased when the
// search is not case-sensitive).
bool QuickScanApplies(std::u16string_view pattern);

// The same test over a whole file already in memory: kFound when the bytes
// hold an occurrence (the caller's full pass then decides), else kNotFound
// or, with the NUL rule, kSkippedNul; kUnsure for a file with a mark.
QuickScanResult QuickScanBytes(std::string_view bytes, std::u16string_view pattern,
                               bool case_sensitive, bool null_check);

QuickScanResult QuickScanFile(const std::u16string& path, std::u16string_view pattern,
                              bool case_sensitive, bool null_check, platform::Event& stop);

class CBytePattern;

// A pattern prepared for the scans above, with the buffer a file scan reads
// into: a run scans every file for the same text. Each content handler keeps
// its own, so one is never shared between threads. (Thread-local copies made
// the Windows build's workers hang in the heap as they ended, under Wine.)
class CQuickScanner {
 public:
  CQuickScanner();
  ~CQuickScanner();
  CQuickScanner(const CQuickScanner&) = delete;
  CQuickScanner& operator=(const CQuickScanner&) = delete;

  // Prepares `pattern` (see QuickScanApplies) unless it is the one prepared.
  void Prepare(std::u16string_view pattern, bool case_sensitive);
  QuickScanResult ScanBytes(std::string_view bytes, bool null_check) const;
  QuickScanResult ScanFile(const std::u16string& path, bool null_check, platform::Event& stop);

 private:
  std::unique_ptr<CBytePattern> pattern_;
  std::u16string text_;
  bool case_sensitive_ = true;
  std::vector<unsigned char> buffer_;
};
