// The find page's run state, status texts and split (see page_run.h).
// Tested by tests/ui/page_logic_test.cpp.
#include "ui/logic/page_run.h"

#include <algorithm>

#include "ui/logic/control_ids.h"
#include "ui/logic/page_text.h"
#include "ui/logic/ui_text.h"

namespace ui {

ActionState ActionStateFor(PageRunState state, bool replace_run, bool replace_mode_active,
                           bool path_not_empty) {
  ActionState action;
  if (state == PageRunState::kIdle) {
    action.mode = replace_mode_active ? PageAction::kReplace : PageAction::kFind;
    action.button_id = replace_mode_active ? IDC_REPLACE : IDC_FIND;
    action.caption_id = replace_mode_active ? IDS_ACTION_REPLACE : IDS_ACTION_FIND;
    action.button_enabled = path_not_empty;
    action.criteria_enabled = true;
    return action;
  }
  // A run keeps the button of its kind, whatever the criteria say now.
  const bool replacing =
      state == PageRunState::kReplacing || (state == PageRunState::kStopping && replace_run);
  action.mode = replacing ? PageAction::kCancelReplace : PageAction::kCancelFind;
  action.button_id = replacing ? IDC_REPLACE : IDC_FIND;
  action.caption_id = IDS_ACTION_CANCEL;
  action.button_enabled = state != PageRunState::kStopping;
  action.criteria_enabled = false;
  return action;
}

ActionPress PressAction(const ActionState& state) {
  if (!state.button_enabled) return ActionPress::kNothing;
  switch (state.mode) {
    case PageAction::kFind: return ActionPress::kStartFind;
    case PageAction::kReplace: return ActionPress::kStartReplace;
    case PageAction::kCancelFind:
    case PageAction::kCancelReplace: return ActionPress::kStop;
  }
  return ActionPress::kNothing;
}

bool EditCommandEnabled(int command, std::size_t selected_rows, std::size_t rows) {
  switch (command) {
    case IDM_CUT:
    case IDM_COPY:
    case IDM_DELETE:
    case IDM_COPY_FILE_NAME: return selected_rows > 0;
    case IDM_SELECT_ALL: return rows > 0;
    default: return true;
  }
}

// ---- CPageRun ----

StatusChange CPageRun::Set(int part, std::u16string text) {
  if (texts_[part] == text) return kNoStatusChange;
  texts_[part] = std::move(text);
  return StatusChange{1} << part;
}

bool CPageRun::Start(bool replace, std::int64_t now, StatusChange& changed) {
  changed = kNoStatusChange;
  if (Running()) return false;
  state_ = replace ? PageRunState::kReplacing : PageRunState::kFinding;
  replace_ = replace;
  start_ = now;
  changed = Set(0, std::u16string(PageText(IDS_STATUS_PREPARING))) | Set(1, u"") |
            Set(2, std::u16string(PageText(IDS_STATUS_IN_PROGRESS)));
  return true;
}

StatusChange CPageRun::FolderEntered(std::u16string_view folder) {
  // A folder report can still be queued behind a stop; the run is over then.
  if (state_ != PageRunState::kFinding && state_ != PageRunState::kReplacing) {
    return kNoStatusChange;
  }
  return Set(0, SearchingText(folder));
}

StatusChange CPageRun::Tick(std::int64_t now) {
  if (state_ != PageRunState::kFinding && state_ != PageRunState::kReplacing) {
    return kNoStatusChange;
  }
  return Set(1, ElapsedText(now - start_));
}

bool CPageRun::RequestStop() {
  if (state_ != PageRunState::kFinding && state_ != PageRunState::kReplacing) return false;
  state_ = PageRunState::kStopping;
  return true;
}

FinishOutcome CPageRun::Finished(bool canceled, std::size_t found_records, std::size_t found_shown,
                                 std::int64_t now, bool page_visible) {
  FinishOutcome outcome;
  if (!Running()) return outcome;
  outcome.accepted = true;
  outcome.canceled = canceled || state_ == PageRunState::kStopping;
  state_ = PageRunState::kIdle;
  outcome.changed =
      Set(0, CountText(found_records, found_shown)) |
      Set(2,
          std::u16string(PageText(outcome.canceled ? IDS_STATUS_CANCELED : IDS_STATUS_FINISHED))) |
      Set(1, ElapsedText(now - start_));
  outcome.show_balloon = !page_visible;
  if (outcome.show_balloon) outcome.balloon_text = CompletionText(replace_);
  return outcome;
}

StatusChange CPageRun::ClearTexts() { return Set(0, u"") | Set(1, u"") | Set(2, u""); }

StatusChange CPageRun::FilterChanged(std::size_t found_records, std::size_t found_shown) {
  if (Running()) return kNoStatusChange;
  return Set(0, CountText(found_records, found_shown));
}

// ---- CPreviewSplit ----

bool CPreviewSplit::Hide() {
  if (ratio_ == 1.0) return false;
  saved_ = ratio_;
  ratio_ = 1.0;
  return true;
}

bool CPreviewSplit::Show() {
  const double ratio = saved_ > 0.0 ? saved_ : 0.5;
  if (ratio_ == ratio) return false;
  ratio_ = ratio;
  return true;
}

bool CPreviewSplit::BatchArrived(bool run_has_text, bool found_tab_shown) {
  if (!run_has_text || !found_tab_shown || ratio_ != 1.0) return false;
  return Show();
}

bool CPreviewSplit::TabChosen(bool found_tab) { return found_tab ? Show() : Hide(); }

void CPreviewSplit::Dragged(int tab_height, int page_height, int tab_top) {
  const int available = page_height - tab_top - 6;
  if (available <= 0) return;
  ratio_ = std::clamp(static_cast<double>(tab_height) / available, 0.0, 1.0);
  saved_ = ratio_;
}

// ---- Before a run ----

std::u16string NormalizedFileName(std::u16string_view field) {
  constexpr std::u16string_view kBlanks = u" \t\r\n";
  const std::size_t first = field.find_first_not_of(kBlanks);
  if (first == std::u16string_view::npos) return u"*.*";
  const std::size_t last = field.find_last_not_of(kBlanks);
  return std::u16string(field.substr(first, last - first + 1));
}

bool PrepareRunRecord(FileFindParamsIn& record) {
  if (record.text.empty()) {
    record.replace_text.clear();
    record.hex_replace_text.clear();
  }
  if (record.path.empty() || record.path.back() != u'\\') return false;
  record.path.pop_back();
  return true;
}

}  // namespace ui
