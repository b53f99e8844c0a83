// A finder listener that records what the worker thread reports as readable
// text, answers the read-only question from a script, and lets a test act
// when a folder is entered. Read it only after CFinder::Wait.
#pragma once
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/finder.h"
#include "engine_test_support.h"
#include "platform/fs.h"

namespace engine_test {

class RecordingListener : public CFinder::IFileFindListener {
 public:
  // The finder reports paths under the long form of the root it was given.
  explicit RecordingListener(std::u16string root) : root_(std::move(root)) {
    std::u16string long_root;
    if (platform::GetLongPathName(root_, long_root)) root_ = long_root;
    if (root_.size() > 1 && root_.back() == platform::kPathSeparator) root_.pop_back();
  }

  // "enter F", "batch F: name name..." (names sorted), "finished" or
  // "finished canceled", "matches P"; F relative to the root ("." for it).
  std::vector<std::string> events;
  std::vector<std::string> entered;
  // Every result, keyed by its path relative to the root.
  std::map<std::string, std::unique_ptr<FileResult>> results;
  std::vector<std::string> questions;
  std::vector<ReadOnlyAnswer> answers;  // given in turn; Skip when they run out
  std::function<void()> on_question;
  std::function<void(std::size_t entered)> on_enter;
  std::u16string matches_path;
  std::unique_ptr<MatchList> matches;
  // Every record in the order it arrived: "path kind reason replaces" and
  // the positions of its matches.
  std::vector<std::string> order;

  std::string Rel(const std::u16string& path) const {
    if (path == root_) return ".";
    std::u16string rel = path.starts_with(root_) ? path.substr(root_.size() + 1) : path;
    std::replace(rel.begin(), rel.end(), platform::kPathSeparator, u'/');
    return U8(rel);
  }
  std::string RelResult(const FileResult& r) const {
    std::string folder = Rel(r.folder);
    return (folder == "." ? "" : folder + "/") + U8(r.file_name);
  }
  // The results' relative paths, sorted.
  std::vector<std::string> Found() const {
    std::vector<std::string> out;
    for (const auto& [path, result] : results) out.push_back(path);
    return out;
  }

  void OnFilesFound(FileResultBatch batch) override {
    std::vector<std::string> names;
    std::string folder = batch.empty() ? "?" : Rel(batch.front()->folder);
    for (auto& r : batch) {
      if (Rel(r->folder) != folder) folder = "mixed";
      names.push_back(U8(r->file_name));
      std::string key = RelResult(*r);
      std::string line = key + " " + std::to_string(static_cast<int>(r->kind)) + " " +
                         std::to_string(r->reason) + " " + std::to_string(r->replaces);
      for (const auto& m : r->matches) line += " " + std::to_string(m.position);
      order.push_back(line);
      results[key] = std::move(r);
    }
    std::sort(names.begin(), names.end());
    std::string line = "batch " + folder + ":";
    for (const auto& n : names) line += " " + n;
    events.push_back(line);
  }
  void OnFindFinished(bool canceled) override {
    events.push_back(canceled ? "finished canceled" : "finished");
  }
  void OnFolderEntered(std::u16string folder) override {
    entered.push_back(Rel(folder));
    events.push_back("enter " + entered.back());
    if (on_enter) on_enter(entered.size());
  }
  ReadOnlyAnswer AskReplaceReadOnly(const std::u16string& path) override {
    questions.push_back(Rel(path));
    if (on_question) on_question();
    std::size_t n = questions.size() - 1;
    return n < answers.size() ? answers[n] : ReadOnlyAnswer::kSkip;
  }
  void OnMatchesReady(std::u16string searched_path, std::unique_ptr<MatchList> list) override {
    events.push_back("matches " + Rel(searched_path));
    matches_path = std::move(searched_path);
    matches = std::move(list);
  }

 private:
  std::u16string root_;
};

// The content workers of the runs RunToEnd makes (0: one per hardware
// thread); the test tables run with several counts.
inline unsigned& Workers() {
  static unsigned workers = 0;
  return workers;
}

// Runs one search to its end: prepare, start, wait for the worker.
// Hands each folder's results over in one batch, however slow the machine:
// the tests compare batches.
inline void RunToEnd(CFinder& finder, const FileFindParamsIn& params, bool replace) {
  finder.SetBatchInterval(std::chrono::hours(1));
  finder.SetWorkerCount(Workers());
  finder.Prepare(params);
  finder.Start(replace);
  finder.Wait();
}

}  // namespace engine_test
