// The find page's run without windows: the run state and what the action
// button, the criteria dialogs and the edit commands allow in it; the three
// status texts and how starting, folder reports, timer ticks, stopping and
// the end of a run change them; the completion balloon; the split between
// result lists and preview; and the record fix-ups made before a run.
// Tested by tests/ui/page_logic_test.cpp.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/search_params.h"

namespace ui {

// kStopping: a stop was requested and the run's end has not been reported
// yet. The engine's report of the end is already queued when the stop
// returns (the stop waits for the worker), so this lasts until the next
// message; the action button is off meanwhile, so that no run can start
// before the previous one is wound up.
enum class PageRunState { kIdle, kFinding, kReplacing, kStopping };

// The action dialog's modes (the values CFindActionDialog keeps).
enum class PageAction : int { kFind = 0, kReplace = 1, kCancelFind = 2, kCancelReplace = 3 };

struct ActionState {
  PageAction mode = PageAction::kFind;
  int button_id = 0;   // IDC_FIND or IDC_REPLACE: the one shown
  int caption_id = 0;  // IDS_ACTION_FIND, IDS_ACTION_REPLACE or IDS_ACTION_CANCEL
  bool button_enabled = false;
  bool criteria_enabled = false;  // the general and advanced dialogs' controls
  bool operator==(const ActionState&) const = default;
};

// Idle: Replace when the criteria would replace (ReplaceModeActive), else
// Find; the button needs a search path. Running: the button of the run's
// kind (`replace_run`) cancels it. Stopping: "Cancel" shown but off. The two
// Clear buttons are always on.
ActionState ActionStateFor(PageRunState state, bool replace_run, bool replace_mode_active,
                           bool path_not_empty);

// What pressing the action button (or Enter through RunAction) does.
enum class ActionPress { kNothing, kStartFind, kStartReplace, kStop };
ActionPress PressAction(const ActionState& state);

// Cut, Copy, Delete and Copy File Name need a selected row, Select All a
// row; other commands are not the page's to gray.
bool EditCommandEnabled(int command, std::size_t selected_rows, std::size_t rows);

// Bits of the status parts a call changed (part i is bit i); the page sends
// those to the status bar when it is the current tab.
using StatusChange = unsigned;
inline constexpr StatusChange kNoStatusChange = 0;
inline constexpr StatusChange kAllStatusParts = 7;

struct FinishOutcome {
  bool accepted = false;  // false: no run was waiting for its end
  bool canceled = false;
  StatusChange changed = kNoStatusChange;
  bool show_balloon = false;  // the run ended while the page was not visible
  std::u16string balloon_text;
};

class CPageRun {
 public:
  PageRunState State() const { return state_; }
  bool Running() const { return state_ != PageRunState::kIdle; }
  // Whether the current (or last) run replaces.
  bool ReplaceRun() const { return replace_; }
  const std::array<std::u16string, 3>& StatusTexts() const { return texts_; }
  ActionState Action(bool replace_mode_active, bool path_not_empty) const {
    return ActionStateFor(state_, replace_, replace_mode_active, path_not_empty);
  }
  // The one-second timer is only needed while a run is going on.
  bool TimerNeeded() const { return Running(); }

  // "Preparing...", "", "In progress..."; `now` in seconds. False (nothing
  // changes) while a run is going on.
  [[nodiscard]] bool Start(bool replace, std::int64_t now, StatusChange& changed);
  StatusChange FolderEntered(std::u16string_view folder);
  // The elapsed seconds in part 1 while finding or replacing.
  StatusChange Tick(std::int64_t now);
  // Finding or replacing becomes stopping; false otherwise.
  bool RequestStop();
  // The run's end: the count text, the elapsed seconds, "Finished" or
  // "Canceled". A run that was stopped counts as canceled even when the
  // engine finished its last entry before it saw the stop.
  FinishOutcome Finished(bool canceled, std::size_t found_records, std::size_t found_shown,
                         std::int64_t now, bool page_visible);
  // Clear results, and saved results shown: all three parts empty.
  StatusChange ClearTexts();
  // A column filter changed: part 0 shows the count while no run is going on.
  StatusChange FilterChanged(std::size_t found_records, std::size_t found_shown);

 private:
  StatusChange Set(int part, std::u16string text);

  PageRunState state_ = PageRunState::kIdle;
  bool replace_ = false;
  std::int64_t start_ = 0;
  std::array<std::u16string, 3> texts_;
};

// The share of the page below the criteria that the result tabs take; 1.0
// hides the preview. The saved ratio (0 when none) comes back when the
// preview is shown again.
class CPreviewSplit {
 public:
  double Ratio() const { return ratio_; }
  double SavedRatio() const { return saved_; }

  // A run without a text to find hides the preview.
  bool HideForRun() { return Hide(); }
  // The first batch of a run with a text to find shows the preview again
  // while the found list is the shown one.
  bool BatchArrived(bool run_has_text, bool found_tab_shown);
  // Choosing the found tab shows the preview; the other two hide it.
  bool TabChosen(bool found_tab);
  // The splitter released: the result tabs' new height over the height
  // available to both (the page less the tabs' top, less 6).
  void Dragged(int tab_height, int page_height, int tab_top);

 private:
  bool Hide();
  bool Show();

  double ratio_ = 1.0;
  double saved_ = 0.0;
};

// The file-name field before a run: blanks, tabs, CR and LF trimmed at both
// ends; nothing left means "*.*".
std::u16string NormalizedFileName(std::u16string_view field);

// The record's fix-ups before a run: without a text to find there is no
// replacement; one trailing backslash of the path goes. True when the path
// changed (the page writes it back to the path field).
bool PrepareRunRecord(FileFindParamsIn& record);

}  // namespace ui
