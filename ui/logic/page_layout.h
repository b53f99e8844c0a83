// The find page's layout in pixels without windows: the criteria row, the
// results tab control and its lists, the preview below them, the splitter
// band between the two and its drag, and the Tab key's way between the
// three criteria dialogs.
// Tested by tests/ui/page_logic_test.cpp.
#pragma once

namespace ui {

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  int Bottom() const { return y + height; }
  bool operator==(const Box&) const = default;
};

struct PageLayoutInput {
  int page_width = 0;
  int page_height = 0;
  // The dialogs' own sizes (they keep their heights; the action dialog its
  // width too).
  int general_height = 0;
  int advanced_height = 0;
  int action_width = 0;
  int action_height = 0;
  bool advanced_visible = true;
  double split_ratio = 1.0;
};

struct PageLayout {
  Box general, advanced, action;  // advanced is empty while hidden
  Box results_tab;                // the tab control over the three lists
  Box lists;
  Box preview_tab;
  Box preview_views;  // the match view and the file view
};

// With the advanced dialog shown the general and advanced dialogs share the
// width left of the action dialog, one pixel apart; hidden, the general
// dialog takes all of it. The results tab starts below the tallest dialog
// and takes SplitRatio of the rest less 6; the lists sit 30 below its top,
// 5 in from each side, 6 above its bottom; the preview tab follows 6 below
// and runs to the page's bottom, its views placed like the lists.
PageLayout LayOutPage(const PageLayoutInput& input);

// The splitter: the band from 1 to 7 pixels below the results tab.
bool InSplitterBand(int y, const Box& results_tab);
// The results tab's height while dragging from `start_height` by `dy`: its
// bottom stays at least 6 above the page's bottom, its height at least 0.
int DraggedTabHeight(int start_height, int dy, int tab_top, int page_height);

// When the page grew wider the lists are resized before their columns are
// fitted to the new width; otherwise the columns first (no scroll bar shows
// up in between).
inline bool ResizeListsFirst(int width, int last_width) { return width > last_width; }

// The Tab key on the last tab stop of a criteria dialog (Shift+Tab on the
// first) moves to the next (previous) dialog in the cycle general, advanced,
// action; a hidden advanced dialog is passed over.
enum class CriteriaDialog { kGeneral, kAdvanced, kAction };
CriteriaDialog NextCriteriaDialog(CriteriaDialog from, bool forward, bool advanced_visible);

}  // namespace ui
