// The find page's layout (see page_layout.h).
// Tested by tests/ui/page_logic_test.cpp.
#include "ui/logic/page_layout.h"

#include <algorithm>

namespace ui {
namespace {

constexpr int kGap = 6;          // between the two halves and above bottoms
constexpr int kTabHeader = 30;   // from a tab control's top to its pages
constexpr int kSideMargin = 10;  // lists and views are this much narrower

}  // namespace

PageLayout LayOutPage(const PageLayoutInput& in) {
  PageLayout out;
  const int w = in.page_width;
  if (in.advanced_visible) {
    const int a = (w - in.action_width) / 2;
    out.general = {0, 0, a, in.general_height};
    out.advanced = {a + 1, 0, a, in.advanced_height};
    out.action = {out.advanced.x + a + 1, 0, in.action_width, in.action_height};
  } else {
    const int a = w - in.action_width;
    out.general = {0, 0, a, in.general_height};
    out.action = {a + 1, 0, in.action_width, in.action_height};
  }
  const int top = std::max(
      {out.general.height, in.advanced_visible ? out.advanced.height : 0, out.action.height});
  const int tab_height = static_cast<int>((in.page_height - top) * in.split_ratio - kGap);
  out.results_tab = {0, top, w, std::max(0, tab_height)};
  const int inner_x = kSideMargin / 2;
  const int inner_width = std::max(0, w - kSideMargin);
  out.lists = {inner_x, top + kTabHeader, inner_width,
               std::max(0, out.results_tab.height - kTabHeader - kGap)};
  const int preview_top = out.results_tab.Bottom() + kGap;
  out.preview_tab = {0, preview_top, w, std::max(0, in.page_height - preview_top)};
  out.preview_views = {inner_x, preview_top + kTabHeader, inner_width,
                       std::max(0, in.page_height - kGap - (preview_top + kTabHeader))};
  return out;
}

bool InSplitterBand(int y, const Box& results_tab) {
  return y >= results_tab.Bottom() + 1 && y <= results_tab.Bottom() + 7;
}

int DraggedTabHeight(int start_height, int dy, int tab_top, int page_height) {
  const int highest = page_height - kGap - tab_top;
  return std::clamp(start_height + dy, 0, std::max(0, highest));
}

CriteriaDialog NextCriteriaDialog(CriteriaDialog from, bool forward, bool advanced_visible) {
  const CriteriaDialog cycle[] = {CriteriaDialog::kGeneral, CriteriaDialog::kAdvanced,
                                  CriteriaDialog::kAction};
  int at = static_cast<int>(from);
  do {
    at = (at + (forward ? 1 : 2)) % 3;
  } while (cycle[at] == CriteriaDialog::kAdvanced && !advanced_visible);
  return cycle[at];
}

}  // namespace ui
