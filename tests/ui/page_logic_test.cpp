// Native tests of the find page's window-free rules: its texts, the action
// state per run state, the status texts through whole runs, the preview
// split, the record fix-ups before a run, and the engine's reports as values
// (with a real engine over a temporary tree), including the read-only
// question's gate and a stop while the question is open. How the engine
// applies each answer is the engine tests' part.
#include <gtest/gtest.h>

#include <future>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/finder.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "test_tree.h"
#include "ui/logic/control_ids.h"
#include "ui/logic/find_reports.h"
#include "ui/logic/page_layout.h"
#include "ui/logic/page_run.h"
#include "ui/logic/page_text.h"
#include "ui/logic/ui_text.h"

namespace ui {
namespace {

std::string U8(std::u16string_view s) { return platform::ToUtf8(s); }

// ---- Texts ----

TEST(PageText, IdsAreUniqueInTheSharedStringTableAndReadAsQuoted) {
  std::set<int> ids;
#define VARNEL_ID(name, id, text) EXPECT_TRUE(ids.insert(id).second) << #name;
  VARNEL_UI_STRINGS(VARNEL_ID)
  VARNEL_PAGE_STRINGS(VARNEL_ID)
#undef VARNEL_ID
  EXPECT_EQ(PageText(IDS_READ_ONLY_BUTTONS), u"Yes\nNo\nYes to All\nNo to All");
  EXPECT_EQ(PageText(IDS_STATUS_PREPARING), u"Preparing...");
  EXPECT_TRUE(PageText(IDS_UI_CAPTION).empty());  // the other list's
}

TEST(PageText, ComposedTexts) {
  const std::pair<std::u16string, const char16_t*> cases[] = {
      {CountText(5, 5), u"5 files found"},
      {CountText(5, 2), u"5 files found (2 in the filter)"},
      {CountText(0, 0), u"0 files found"},
      {CountText(1234567, 0), u"1234567 files found (0 in the filter)"},
      {ResultTabCaption(IDS_TAB_FOUND, 3), u"Found (3)"},
      {ResultTabCaption(IDS_TAB_SKIPPED, 0), u"Skipped (0)"},
      {ResultTabCaption(IDS_TAB_ERRORS, 12), u"Errors (12)"},
      {SearchingText(u"C:\\a b"), u"Searching C:\\a b ..."},
      {ElapsedText(0), u"0 secs"},
      {ElapsedText(75), u"75 secs"},
      {ElapsedText(-4), u"0 secs"},
      {CompletionText(true), u"Search and replace completed"},
      {CompletionText(false), u"Search for files completed"},
      {ReadOnlyQuestionText(u"C:\\r.txt"),
       u"File C:\\r.txt is read-only. Do you want it to be replaced?"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(text, expected) << U8(expected);
}

TEST(PageText, ReadOnlyQuestionCutsALongPathToTheBuffer) {
  const std::u16string format(PageText(IDS_READ_ONLY_QUESTION));
  const std::size_t keep = 300 - format.size();
  const std::u16string long_path(400, u'p');
  const std::u16string text = ReadOnlyQuestionText(long_path);
  EXPECT_EQ(text.size(), 298u);  // fits a 300-character buffer with its zero
  EXPECT_EQ(text.find(std::u16string(keep, u'p')), 5u);
  EXPECT_EQ(text.find(std::u16string(keep + 1, u'p')), std::u16string::npos);
  // A surrogate pair at the cut goes whole.
  std::u16string pair_path(keep - 1, u'p');
  pair_path += u"\U0001F600tail";
  const std::u16string cut = ReadOnlyQuestionText(pair_path);
  EXPECT_EQ(cut.size(), 297u);
  EXPECT_EQ(cut.find(u'\xD83D'), std::u16string::npos);
  // A path that fits exactly stays whole.
  EXPECT_EQ(ReadOnlyQuestionText(std::u16string(keep, u'q')).size(), 298u);
}

// ---- Action state ----

TEST(ActionState, PerRunState) {
  using S = PageRunState;
  using M = PageAction;
  struct Case {
    S state;
    bool replace_run, replace_active, path;
    ActionState expected;
  };
  const Case cases[] = {
      {S::kIdle, false, false, true, {M::kFind, IDC_FIND, IDS_ACTION_FIND, true, true}},
      {S::kIdle, false, false, false, {M::kFind, IDC_FIND, IDS_ACTION_FIND, false, true}},
      {S::kIdle, true, true, true, {M::kReplace, IDC_REPLACE, IDS_ACTION_REPLACE, true, true}},
      {S::kIdle, false, true, false, {M::kReplace, IDC_REPLACE, IDS_ACTION_REPLACE, false, true}},
      {S::kFinding, false, true, false, {M::kCancelFind, IDC_FIND, IDS_ACTION_CANCEL, true, false}},
      {S::kReplacing,
       true,
       false,
       true,
       {M::kCancelReplace, IDC_REPLACE, IDS_ACTION_CANCEL, true, false}},
      {S::kStopping,
       false,
       true,
       true,
       {M::kCancelFind, IDC_FIND, IDS_ACTION_CANCEL, false, false}},
      {S::kStopping,
       true,
       false,
       true,
       {M::kCancelReplace, IDC_REPLACE, IDS_ACTION_CANCEL, false, false}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ActionStateFor(c.state, c.replace_run, c.replace_active, c.path), c.expected)
        << static_cast<int>(c.state) << c.replace_run << c.replace_active << c.path;
  }
}

TEST(ActionState, PressAndEditCommands) {
  EXPECT_EQ(PressAction(ActionStateFor(PageRunState::kIdle, false, false, true)),
            ActionPress::kStartFind);
  EXPECT_EQ(PressAction(ActionStateFor(PageRunState::kIdle, false, true, true)),
            ActionPress::kStartReplace);
  EXPECT_EQ(PressAction(ActionStateFor(PageRunState::kIdle, false, true, false)),
            ActionPress::kNothing);
  EXPECT_EQ(PressAction(ActionStateFor(PageRunState::kReplacing, true, true, true)),
            ActionPress::kStop);
  EXPECT_EQ(PressAction(ActionStateFor(PageRunState::kStopping, true, true, true)),
            ActionPress::kNothing);

  struct Case {
    int command;
    std::size_t selected, rows;
    bool enabled;
  };
  const Case cases[] = {
      {IDM_CUT, 0, 5, false},
      {IDM_CUT, 1, 5, true},
      {IDM_COPY, 0, 5, false},
      {IDM_COPY, 2, 5, true},
      {IDM_DELETE, 0, 5, false},
      {IDM_DELETE, 1, 1, true},
      {IDM_COPY_FILE_NAME, 0, 3, false},
      {IDM_COPY_FILE_NAME, 3, 3, true},
      {IDM_SELECT_ALL, 0, 0, false},
      {IDM_SELECT_ALL, 0, 1, true},
      {IDM_VIEW_ADVANCED, 0, 0, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EditCommandEnabled(c.command, c.selected, c.rows), c.enabled)
        << c.command << " " << c.selected << "/" << c.rows;
  }
}

// ---- Status texts through runs ----

// Drives a CPageRun by a script and records each step as
// "step -> [part 0|part 1|part 2] bits" (plus what the step answered), so
// that a whole run compares as one transcript.
class RunScript {
 public:
  RunScript& Start(bool replace, std::int64_t now) {
    StatusChange changed = 0;
    const bool started = run_.Start(replace, now, changed);
    return Note(std::string(replace ? "replace" : "find") + (started ? "" : " refused"), changed);
  }
  RunScript& Folder(const char16_t* path) { return Note("folder", run_.FolderEntered(path)); }
  RunScript& Tick(std::int64_t now) { return Note("tick", run_.Tick(now)); }
  RunScript& Stop() { return Note(run_.RequestStop() ? "stop" : "stop ignored", 0); }
  RunScript& Finish(bool canceled, std::size_t records, std::size_t shown, std::int64_t now,
                    bool visible) {
    const FinishOutcome o = run_.Finished(canceled, records, shown, now, visible);
    std::string step = o.accepted ? (o.canceled ? "end canceled" : "end") : "end ignored";
    if (o.show_balloon) step += " balloon '" + U8(o.balloon_text) + "'";
    return Note(step, o.changed);
  }
  RunScript& Filter(std::size_t records, std::size_t shown) {
    return Note("filter", run_.FilterChanged(records, shown));
  }
  RunScript& Clear() { return Note("clear", run_.ClearTexts()); }
  std::string Transcript() const { return out_.str(); }
  const CPageRun& Run() const { return run_; }

 private:
  RunScript& Note(const std::string& step, StatusChange changed) {
    const auto& t = run_.StatusTexts();
    out_ << step << " -> [" << U8(t[0]) << "|" << U8(t[1]) << "|" << U8(t[2]) << "] " << changed
         << "\n";
    return *this;
  }
  CPageRun run_;
  std::ostringstream out_;
};

TEST(PageRun, FindRunThatFinishes) {
  RunScript s;
  s.Tick(99).Start(false, 1000).Folder(u"C:\\a").Tick(1001).Tick(1001).Folder(u"C:\\a\\b");
  EXPECT_EQ(s.Run().State(), PageRunState::kFinding);
  EXPECT_TRUE(s.Run().TimerNeeded());
  s.Start(true, 1002).Filter(5, 2).Finish(false, 5, 5, 1003, true).Tick(1010).Filter(5, 2);
  EXPECT_EQ(s.Transcript(),
            "tick -> [||] 0\n"
            "find -> [Preparing...||In progress...] 5\n"
            "folder -> [Searching C:\\a ...||In progress...] 1\n"
            "tick -> [Searching C:\\a ...|1 secs|In progress...] 2\n"
            "tick -> [Searching C:\\a ...|1 secs|In progress...] 0\n"
            "folder -> [Searching C:\\a\\b ...|1 secs|In progress...] 1\n"
            "replace refused -> [Searching C:\\a\\b ...|1 secs|In progress...] 0\n"
            "filter -> [Searching C:\\a\\b ...|1 secs|In progress...] 0\n"
            "end -> [5 files found|3 secs|Finished] 7\n"
            "tick -> [5 files found|3 secs|Finished] 0\n"
            "filter -> [5 files found (2 in the filter)|3 secs|Finished] 1\n");
  EXPECT_EQ(s.Run().State(), PageRunState::kIdle);
  EXPECT_FALSE(s.Run().TimerNeeded());
}

TEST(PageRun, StoppedRunsEndCanceledAndLateReportsAreDropped) {
  RunScript s;
  s.Start(true, 50).Folder(u"D:\\x").Stop();
  EXPECT_EQ(s.Run().State(), PageRunState::kStopping);
  EXPECT_TRUE(s.Run().ReplaceRun());
  // The engine finished its last entry before it saw the stop: still
  // canceled, since the user stopped it.
  s.Folder(u"D:\\x\\late").Tick(52).Stop().Finish(false, 2, 2, 53, false);
  s.Finish(false, 2, 2, 54, true).Clear();
  EXPECT_EQ(s.Transcript(),
            "replace -> [Preparing...||In progress...] 5\n"
            "folder -> [Searching D:\\x ...||In progress...] 1\n"
            "stop -> [Searching D:\\x ...||In progress...] 0\n"
            "folder -> [Searching D:\\x ...||In progress...] 0\n"
            "tick -> [Searching D:\\x ...||In progress...] 0\n"
            "stop ignored -> [Searching D:\\x ...||In progress...] 0\n"
            "end canceled balloon 'Search and replace completed' -> "
            "[2 files found|3 secs|Canceled] 7\n"
            "end ignored -> [2 files found|3 secs|Canceled] 0\n"
            "clear -> [||] 7\n");
}

TEST(PageRun, CanceledByTheEngineAndBalloonOnlyWhenHidden) {
  RunScript s;
  s.Start(false, 10).Finish(true, 0, 0, 9, true);  // clock went back
  s.Start(false, 20).Finish(false, 1, 1, 21, false);
  EXPECT_EQ(s.Transcript(),
            "find -> [Preparing...||In progress...] 5\n"
            "end canceled -> [0 files found|0 secs|Canceled] 7\n"
            "find -> [Preparing...||In progress...] 7\n"
            "end balloon 'Search for files completed' -> [1 files found|1 secs|Finished] 7\n");
}

// ---- Preview split ----

TEST(PreviewSplit, HiddenForRunsWithoutTextAndBackOnTheFirstBatchWithText) {
  CPreviewSplit split;
  EXPECT_TRUE(split.TabChosen(true));  // the first showing of a page
  EXPECT_EQ(split.Ratio(), 0.5);
  EXPECT_TRUE(split.HideForRun());
  EXPECT_EQ(split.Ratio(), 1.0);
  EXPECT_EQ(split.SavedRatio(), 0.5);
  EXPECT_FALSE(split.HideForRun());
  EXPECT_EQ(split.SavedRatio(), 0.5);
  EXPECT_FALSE(split.BatchArrived(false, true));
  EXPECT_FALSE(split.BatchArrived(true, false));  // another list shown
  EXPECT_TRUE(split.BatchArrived(true, true));
  EXPECT_EQ(split.Ratio(), 0.5);
  EXPECT_FALSE(split.BatchArrived(true, true));

  split.Dragged(300, 700, 100);  // 300 / (700 - 100 - 6)
  EXPECT_DOUBLE_EQ(split.Ratio(), 300.0 / 594);
  EXPECT_DOUBLE_EQ(split.SavedRatio(), 300.0 / 594);
  EXPECT_TRUE(split.TabChosen(false));
  EXPECT_EQ(split.Ratio(), 1.0);
  EXPECT_FALSE(split.TabChosen(false));
  EXPECT_TRUE(split.TabChosen(true));
  EXPECT_DOUBLE_EQ(split.Ratio(), 300.0 / 594);
  split.Dragged(10, 100, 100);  // nothing left for the lists: ignored
  EXPECT_DOUBLE_EQ(split.Ratio(), 300.0 / 594);
  split.Dragged(0, 700, 100);
  EXPECT_EQ(split.Ratio(), 0.0);
}

TEST(PreviewSplit, NoSavedRatioMeansHalf) {
  CPreviewSplit split;
  EXPECT_FALSE(split.HideForRun());  // already hidden; nothing saved
  EXPECT_EQ(split.SavedRatio(), 0.0);
  EXPECT_TRUE(split.BatchArrived(true, true));
  EXPECT_EQ(split.Ratio(), 0.5);
}

// ---- Layout ----

TEST(PageLayout, CriteriaRowListsAndPreview) {
  PageLayoutInput in;
  in.page_width = 1000;
  in.page_height = 800;
  in.general_height = 100;
  in.advanced_height = 110;
  in.action_width = 120;
  in.action_height = 100;
  in.split_ratio = 0.5;
  PageLayout l = LayOutPage(in);
  EXPECT_EQ(l.general, (Box{0, 0, 440, 100}));
  EXPECT_EQ(l.advanced, (Box{441, 0, 440, 110}));
  EXPECT_EQ(l.action, (Box{882, 0, 120, 100}));
  EXPECT_EQ(l.results_tab, (Box{0, 110, 1000, 339}));  // trunc(690 * 0.5 - 6)
  EXPECT_EQ(l.lists, (Box{5, 140, 990, 303}));
  EXPECT_EQ(l.preview_tab, (Box{0, 455, 1000, 345}));
  EXPECT_EQ(l.preview_views, (Box{5, 485, 990, 309}));

  in.page_width = 1001;  // an odd pixel goes to neither half
  in.advanced_visible = false;
  in.split_ratio = 1.0;
  l = LayOutPage(in);
  EXPECT_EQ(l.general, (Box{0, 0, 881, 100}));
  EXPECT_EQ(l.advanced, Box{});
  EXPECT_EQ(l.action, (Box{882, 0, 120, 100}));
  EXPECT_EQ(l.results_tab, (Box{0, 100, 1001, 694}));
  EXPECT_EQ(l.lists, (Box{5, 130, 991, 658}));
  EXPECT_EQ(l.preview_tab, (Box{0, 800, 1001, 0}));  // the preview is hidden
  EXPECT_EQ(l.preview_views.height, 0);

  in.page_height = 50;  // smaller than the criteria: nothing negative
  l = LayOutPage(in);
  EXPECT_EQ(l.results_tab.height, 0);
  EXPECT_EQ(l.lists.height, 0);
  EXPECT_EQ(l.preview_tab.height, 0);
}

TEST(PageLayout, SplitterAndTabCycle) {
  const Box tab{0, 110, 1000, 339};  // bottom 449
  EXPECT_FALSE(InSplitterBand(449, tab));
  EXPECT_TRUE(InSplitterBand(450, tab));
  EXPECT_TRUE(InSplitterBand(456, tab));
  EXPECT_FALSE(InSplitterBand(457, tab));
  EXPECT_EQ(DraggedTabHeight(339, 10, 110, 800), 349);
  EXPECT_EQ(DraggedTabHeight(339, 500, 110, 800), 684);  // bottom 6 above the page's
  EXPECT_EQ(DraggedTabHeight(339, -400, 110, 800), 0);
  EXPECT_TRUE(ResizeListsFirst(1001, 1000));
  EXPECT_FALSE(ResizeListsFirst(1000, 1000));

  using D = CriteriaDialog;
  struct Case {
    D from;
    bool forward, advanced;
    D to;
  };
  const Case cases[] = {
      {D::kGeneral, true, true, D::kAdvanced}, {D::kAdvanced, true, true, D::kAction},
      {D::kAction, true, true, D::kGeneral},   {D::kGeneral, false, true, D::kAction},
      {D::kAction, false, true, D::kAdvanced}, {D::kGeneral, true, false, D::kAction},
      {D::kAction, false, false, D::kGeneral}, {D::kAction, true, false, D::kGeneral},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextCriteriaDialog(c.from, c.forward, c.advanced), c.to)
        << static_cast<int>(c.from) << c.forward << c.advanced;
  }
}

// ---- Before a run ----

TEST(BeforeRun, FileNameAndRecordFixUps) {
  const std::pair<const char16_t*, const char16_t*> names[] = {
      {u"", u"*.*"},           {u" \t\r\n", u"*.*"},
      {u"*.txt", u"*.txt"},    {u" *.txt\r\n", u"*.txt"},
      {u"\ta b.c ", u"a b.c"}, {u"\x3000x", u"\x3000x"},
  };
  for (const auto& [field, expected] : names) EXPECT_EQ(NormalizedFileName(field), expected);

  struct Case {
    const char16_t* path;
    const char16_t* text;
    const char16_t* new_path;
    bool changed;
    bool replace_kept;
  };
  const Case cases[] = {
      {u"C:\\a\\", u"x", u"C:\\a", true, true},
      {u"C:\\a\\\\", u"x", u"C:\\a\\", true, true},  // one backslash only
      {u"C:\\", u"", u"C:", true, false},
      {u"C:\\a", u"", u"C:\\a", false, false},
      {u"", u"x", u"", false, true},
      {u"C:\\a;D:\\", u"x", u"C:\\a;D:", true, true},
  };
  for (const Case& c : cases) {
    FileFindParamsIn record;
    record.path = c.path;
    record.text = c.text;
    record.replace_text = u"r";
    record.hex_replace_text = u"72";
    EXPECT_EQ(PrepareRunRecord(record), c.changed) << U8(c.path);
    EXPECT_EQ(record.path, c.new_path) << U8(c.path);
    EXPECT_EQ(record.replace_text.empty(), !c.replace_kept) << U8(c.path);
    EXPECT_EQ(record.hex_replace_text.empty(), !c.replace_kept) << U8(c.path);
  }
}

// ---- Reports ----

TEST(Reports, MessagesAndWakeOnlyWhenTheQueueWasEmpty) {
  EXPECT_EQ(ReportMessage(FindReport::Kind::kFinished), 1125u);
  EXPECT_EQ(ReportMessage(FindReport::Kind::kBatch), 1126u);
  EXPECT_EQ(ReportMessage(FindReport::Kind::kFolderEntered), 1127u);
  EXPECT_EQ(ReportMessage(FindReport::Kind::kMatchesReady), 1128u);
  EXPECT_EQ(ReportMessage(FindReport::Kind::kLeftover), 0u);

  CReportQueue queue;
  int wakes = 0;
  CFindReporter reporter(ReportSource::kPreview, queue, nullptr, [&] { ++wakes; });
  EXPECT_EQ(reporter.BeginRun(), 1u);
  reporter.OnFolderEntered(u"a");
  reporter.OnFolderEntered(u"b");
  EXPECT_EQ(wakes, 1);
  std::vector<FindReport> taken = queue.TakeAll();
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[1].path, u"b");
  EXPECT_EQ(taken[1].source, ReportSource::kPreview);
  EXPECT_EQ(taken[1].run, 1u);
  reporter.OnMatchesReady(u"f", std::make_unique<MatchList>(2));
  EXPECT_EQ(wakes, 2);
  std::optional<FindReport> next = queue.WaitNext(std::chrono::milliseconds(0));
  ASSERT_TRUE(next.has_value());
  EXPECT_EQ(next->kind, FindReport::Kind::kMatchesReady);
  ASSERT_NE(next->matches, nullptr);
  EXPECT_EQ(next->matches->size(), 2u);
  EXPECT_FALSE(queue.WaitNext(std::chrono::milliseconds(0)).has_value());
  // Without an asker a read-only file is skipped.
  EXPECT_EQ(reporter.AskReplaceReadOnly(u"x"), ReadOnlyAnswer::kSkip);
  // Reports left in a queue go with it.
  reporter.OnFilesFound(FileResultBatch(3));
  EXPECT_EQ(queue.Size(), 1u);
}

class ReportsWithEngine : public testing::Test {
 protected:
  FileFindParamsIn Params(const char16_t* text) {
    FileFindParamsIn params;
    params.path = tree_.root();
    params.file_name = u"*.txt";
    params.include_subfolders = true;
    params.text = text;
    return params;
  }
  std::string Describe(const FindReport& r) {
    switch (r.kind) {
      case FindReport::Kind::kBatch: {
        std::string names;
        for (const auto& record : r.batch) names += " " + U8(record->file_name);
        return "batch" + names;
      }
      case FindReport::Kind::kFolderEntered:
        return r.path == tree_.root()
                   ? "enter ."
                   : "enter " + U8(r.path.substr(r.path.rfind(platform::kPathSeparator) + 1));
      case FindReport::Kind::kFinished: return r.canceled ? "finished canceled" : "finished";
      case FindReport::Kind::kMatchesReady: return "matches";
      case FindReport::Kind::kLeftover: return "leftover";
    }
    return "?";
  }
  testing_support::TempTree tree_;
};

TEST_F(ReportsWithEngine, AFindRunArrivesInOrderWithOneWake) {
  tree_.Write(u"a.txt", "x");
  tree_.Write(u"sub/b.txt", "x");
  tree_.Write(u"sub/c.log", "x");
  CReportQueue queue;
  int wakes = 0;
  CFindReporter reporter(ReportSource::kMain, queue, nullptr, [&] { ++wakes; });
  CFinder finder(&reporter);
  reporter.BeginRun();
  const std::uint32_t run = reporter.BeginRun();
  finder.Prepare(Params(u""));
  finder.Start(false);
  finder.Wait();
  EXPECT_EQ(wakes, 1);
  std::vector<std::string> seen;
  for (const FindReport& r : queue.TakeAll()) {
    EXPECT_EQ(r.run, run);
    seen.push_back(Describe(r));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"enter .", "batch a.txt", "enter sub", "batch b.txt",
                                            "finished"}));
}

class CGateAsker : public IReadOnlyAsker {
 public:
  CGateAsker(CReadOnlyQuestionGate& gate, std::function<int(const std::u16string&)> show)
      : gate_(gate), show_(std::move(show)) {}
  ReadOnlyAnswer Ask(const std::u16string& path) override {
    return AskThroughGate(gate_, path, show_);
  }

 private:
  CReadOnlyQuestionGate& gate_;
  std::function<int(const std::u16string&)> show_;
};

TEST_F(ReportsWithEngine, AStopWhileTheQuestionIsOpenAnswersNoToAllAndCancels) {
  for (const char16_t* name : {u"r1.txt", u"r2.txt", u"sub/r3.txt"}) {
    tree_.Write(name, "x");
    ASSERT_TRUE(platform::SetFileAttributes(tree_.Path(name), platform::attr::read_only));
  }
  CReportQueue queue;
  CReadOnlyQuestionGate gate;
  // The box stays open until the gate closes it.
  std::promise<void> shown;
  std::promise<void> closed;
  std::shared_future<void> closed_future = closed.get_future().share();
  int questions = 0;
  std::u16string asked;
  CGateAsker asker(gate, [&](const std::u16string& text) {
    ++questions;
    asked = text;
    if (!gate.Attach([&] { closed.set_value(); })) return 0;
    shown.set_value();
    closed_future.wait();
    return 0;  // what a box closed from outside answers
  });
  CFindReporter reporter(ReportSource::kMain, queue, &asker, nullptr);
  CFinder finder(&reporter);
  CPageRun run;
  StatusChange changed = 0;
  ASSERT_TRUE(run.Start(true, 0, changed));
  FileFindParamsIn params = Params(u"x");
  params.replace = true;
  params.replace_text = u"y";
  finder.Prepare(params);
  finder.Start(true);
  ASSERT_EQ(shown.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready);
  EXPECT_TRUE(gate.IsOpen());

  // The page's stop: the run state first, then the question, then the engine.
  EXPECT_TRUE(run.RequestStop());
  EXPECT_TRUE(gate.Stop());
  finder.Stop();
  EXPECT_FALSE(gate.IsOpen());
  EXPECT_EQ(questions, 1);  // no further question after No to All
  EXPECT_TRUE(U8(asked).starts_with("File " + U8(tree_.root()))) << U8(asked);
  EXPECT_TRUE(U8(asked).ends_with(".txt is read-only. Do you want it to be replaced?"));
  for (const char16_t* name : {u"r1.txt", u"r2.txt", u"sub/r3.txt"}) {
    EXPECT_EQ(tree_.Read(name), "x") << U8(name);
    (void)platform::SetFileAttributes(tree_.Path(name), 0);
  }
  std::optional<FindReport> last;
  for (FindReport& r : queue.TakeAll()) last = std::move(r);
  ASSERT_TRUE(last.has_value());
  ASSERT_EQ(last->kind, FindReport::Kind::kFinished);
  const FinishOutcome end = run.Finished(last->canceled, 0, 0, 1, true);
  EXPECT_TRUE(end.canceled);
  EXPECT_EQ(run.StatusTexts()[2], u"Canceled");
}

TEST(QuestionGate, StopBeforeOrWhileAsking) {
  CReadOnlyQuestionGate gate;
  EXPECT_FALSE(gate.Stop());  // nothing open
  EXPECT_FALSE(gate.Open());  // the rest of the run is No to All
  EXPECT_EQ(AskThroughGate(gate, u"p", [](const std::u16string&) { return 23; }),
            ReadOnlyAnswer::kSkipAll);

  gate.Reset();
  ASSERT_TRUE(gate.Open());
  EXPECT_TRUE(gate.Stop());  // the box is not made yet
  EXPECT_FALSE(gate.Attach([] { FAIL() << "closed through a late attach"; }));
  EXPECT_EQ(gate.Close(25), ReadOnlyAnswer::kSkipAll);

  gate.Reset();
  const std::pair<int, ReadOnlyAnswer> codes[] = {
      {23, ReadOnlyAnswer::kReplace},    {24, ReadOnlyAnswer::kSkip},
      {25, ReadOnlyAnswer::kReplaceAll}, {26, ReadOnlyAnswer::kSkipAll},
      {0, ReadOnlyAnswer::kSkip},        {1, ReadOnlyAnswer::kSkip},
      {27, ReadOnlyAnswer::kSkip},
  };
  for (const auto& [code, answer] : codes) {
    ASSERT_TRUE(gate.Open());
    int closes = 0;
    ASSERT_TRUE(gate.Attach([&] { ++closes; }));
    EXPECT_EQ(gate.Close(code), answer) << code;
    EXPECT_FALSE(gate.IsOpen());
    EXPECT_EQ(closes, 0);
  }
  // A box that answered is not closed by a later stop.
  EXPECT_FALSE(gate.Stop());
}

}  // namespace
}  // namespace ui
