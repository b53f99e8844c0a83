// An output sink that keeps what was written to each stream, and the order of
// flushes, for whole-transcript comparisons.
#pragma once
#include <string>

#include "cli/output.h"

namespace testing_support {

class CRecordingSink : public cli::IOutputSink {
 public:
  void Write(platform::Stream stream, std::string_view utf8) override {
    (stream == platform::Stream::kOut ? out : err).append(utf8);
  }
  void Flush(platform::Stream stream) override {
    (stream == platform::Stream::kOut ? out : err) += "<flush>";
  }
  std::string out;
  std::string err;
};

}  // namespace testing_support
