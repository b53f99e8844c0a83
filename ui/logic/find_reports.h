// The engine's reports to a page as plain values: a listener that turns each
// call of the worker thread into a report in a queue that the user-interface
// thread drains (the page posts itself one wake-up message when the queue
// stops being empty, so a fast walk cannot flood the thread's message queue,
// and reports left when the page goes are freed with the queue), and the
// read-only question's gate, which lets a stop end an open question.
// Tested by tests/ui/page_logic_test.cpp.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/file_result.h"
#include "engine/finder.h"

namespace ui {

// The page's private messages (WM_USER is 0x400).
inline constexpr unsigned kWmFindFinished = 0x400 + 101;
inline constexpr unsigned kWmFindResults = 0x400 + 102;
inline constexpr unsigned kWmFindProgress = 0x400 + 103;
inline constexpr unsigned kWmFindMatches = 0x400 + 104;

enum class ReportSource { kMain, kPreview };

struct FindReport {
  enum class Kind { kBatch, kFolderEntered, kFinished, kMatchesReady, kLeftover };
  Kind kind = Kind::kFinished;
  ReportSource source = ReportSource::kMain;
  // The run the report belongs to (CFindReporter::BeginRun); a page drops
  // reports of a run it no longer waits for.
  std::uint32_t run = 0;
  FileResultBatch batch;               // kBatch
  std::u16string path;                 // kFolderEntered, kMatchesReady, kLeftover
  bool canceled = false;               // kFinished
  std::unique_ptr<MatchList> matches;  // kMatchesReady
};

// The message a report's kind stands for (WM_FIND_RESULTS and so on); 0 for
// a kind that has none.
unsigned ReportMessage(FindReport::Kind kind);

// A queue of reports between a worker thread and their reader.
class CReportQueue {
 public:
  // True when the queue was empty: the reader must be woken once.
  bool Push(FindReport report);
  // Everything queued, in order.
  std::vector<FindReport> TakeAll();
  // The next report, waiting at most `limit` for one.
  std::optional<FindReport> WaitNext(std::chrono::milliseconds limit);
  std::size_t Size() const;

 private:
  mutable std::mutex lock_;
  std::condition_variable signal_;
  std::deque<FindReport> reports_;
};

// Asks the read-only question; called on the worker thread.
class IReadOnlyAsker {
 public:
  virtual ~IReadOnlyAsker() = default;
  virtual ReadOnlyAnswer Ask(const std::u16string& path) = 0;
};

// One engine's listener. `wake` runs on the worker thread when the queue
// stops being empty (the page posts its message there).
class CFindReporter : public CFinder::IFileFindListener {
 public:
  CFindReporter(ReportSource source, CReportQueue& queue, IReadOnlyAsker* asker,
                std::function<void()> wake);

  // A new run: reports made from now on carry its number. Call before the
  // engine starts.
  std::uint32_t BeginRun() { return ++run_; }
  std::uint32_t Run() const { return run_.load(); }

  void OnFilesFound(FileResultBatch batch) override;
  void OnFindFinished(bool canceled) override;
  void OnFolderEntered(std::u16string folder) override;
  // Without an asker a read-only file is skipped.
  ReadOnlyAnswer AskReplaceReadOnly(const std::u16string& path) override;
  void OnMatchesReady(std::u16string searched_path, std::unique_ptr<MatchList> matches) override;
  void OnPossibleLeftover(const std::u16string& path) override;

 private:
  void Post(FindReport report);

  ReportSource source_;
  CReportQueue& queue_;
  IReadOnlyAsker* asker_;
  std::function<void()> wake_;
  std::atomic<std::uint32_t> run_{0};
};

// The answer of a read-only question box: the four custom buttons (codes 23
// to 26) are Yes, No, Yes to All, No to All; anything else (no box could be
// shown) skips this file.
ReadOnlyAnswer ReadOnlyAnswerOfButton(int code);

// The read-only question between the worker thread that shows the box and
// the user-interface thread that may stop the run meanwhile. A stop answers
// the open question, and every later one of the run, with No to All.
class CReadOnlyQuestionGate {
 public:
  // User-interface thread, before a run starts.
  void Reset();
  // Worker, before the box is made: false when the run was stopped (answer
  // No to All without asking).
  [[nodiscard]] bool Open();
  // Worker, once the box exists: `close` ends it (it runs on the thread that
  // stops). False when the stop came in between: close the box at once.
  [[nodiscard]] bool Attach(std::function<void()> close);
  // Worker, when the box returned `button_code`: the answer.
  ReadOnlyAnswer Close(int button_code);
  // User-interface thread: a stop. Closes an attached box; true when a
  // question was open.
  bool Stop();
  bool IsOpen() const;

 private:
  mutable std::mutex lock_;
  bool open_ = false;
  bool stopped_ = false;
  std::function<void()> close_;
};

// Asks through `gate`: No to All when stopped, otherwise the answer of the
// box that `show` runs (it gets the question text, and calls the gate's
// Attach once its box exists).
ReadOnlyAnswer AskThroughGate(CReadOnlyQuestionGate& gate, const std::u16string& path,
                              const std::function<int(const std::u16string& text)>& show);

}  // namespace ui
