// Window placement and frame layout (see placement.h).
// Tested by tests/app/logic/app_logic_test.cpp.
#include "app/logic/placement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace app {
namespace {

constexpr std::int32_t kShowMinimized = 2;        // SW_SHOWMINIMIZED
constexpr std::int32_t kShowMaximized = 3;        // SW_SHOWMAXIMIZED
constexpr std::uint32_t kRestoreToMaximized = 2;  // WPF_RESTORETOMAXIMIZED

bool Overlaps(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The gap between two rectangles along one axis; 0 when they overlap there.
std::int64_t Gap(std::int32_t a_low, std::int32_t a_high, std::int32_t b_low, std::int32_t b_high) {
  if (a_high <= b_low) return std::int64_t{b_low} - a_high;
  if (b_high <= a_low) return std::int64_t{a_low} - b_high;
  return 0;
}

std::int64_t SquaredDistance(const Rect& a, const Rect& b) {
  const std::int64_t dx = Gap(a.left, a.right, b.left, b.right);
  const std::int64_t dy = Gap(a.top, a.bottom, b.top, b.bottom);
  return dx * dx + dy * dy;
}

// `low` .. `low + size` moved into `area_low` .. `area_high`, size cut to fit.
void FitAxis(std::int32_t& low, std::int32_t& high, std::int32_t area_low, std::int32_t area_high) {
  const std::int32_t size = std::min(high - low, area_high - area_low);
  low = std::clamp(low, area_low, area_high - size);
  high = low + size;
}

}  // namespace

Rect DefaultWindowRect(std::int32_t screen_width, std::int32_t screen_height) {
  const std::int32_t height = 3 * screen_height / 4;
  // Exactly 1.4 times, truncated: in floating point 675 * 1.4 falls just
  // short of 945.
  const auto width = static_cast<std::int32_t>(std::int64_t{height} * 7 / 5);
  const std::int32_t y = screen_height / 2 - 3 * screen_height / 8;
  const std::int32_t x = screen_width / 2 - width / 2;
  return Rect{x, y, x + width, y + height};
}

Rect OntoMonitor(const Rect& rect, const std::vector<Rect>& monitors) {
  if (monitors.empty()) return rect;
  const Rect* nearest = nullptr;
  std::int64_t best = std::numeric_limits<std::int64_t>::max();
  for (const Rect& monitor : monitors) {
    if (Overlaps(rect, monitor)) return rect;
    const std::int64_t distance = SquaredDistance(rect, monitor);
    if (distance < best) {
      best = distance;
      nearest = &monitor;
    }
  }
  Rect moved = rect;
  FitAxis(moved.left, moved.right, nearest->left, nearest->right);
  FitAxis(moved.top, moved.bottom, nearest->top, nearest->bottom);
  return moved;
}

StartPlacement InitialPlacement(const StartInputs& inputs) {
  StartPlacement placement;
  const WindowRect& saved = inputs.saved;
  const Rect saved_rect{saved.left, saved.top, saved.right, saved.bottom};
  if (saved_rect == Rect{}) {
    placement.rect = DefaultWindowRect(inputs.screen_width, inputs.screen_height);
  } else {
    placement.advanced = inputs.advanced_visible != 0;
    const bool usable = saved_rect.Width() > 0 && saved_rect.Height() > 0;
    placement.rect =
        usable ? saved_rect : DefaultWindowRect(inputs.screen_width, inputs.screen_height);
  }
  placement.rect = OntoMonitor(placement.rect, inputs.monitors);
  if (inputs.autorun) {
    placement.show = ShowState::kMinimized;
  } else if (inputs.maximized) {
    placement.show = ShowState::kMaximized;
  }
  return placement;
}

SavedPlacement PlacementToSave(const ShutdownInputs& inputs) {
  SavedPlacement saved;
  const std::int32_t dx = inputs.primary_work_area.left - inputs.primary_monitor.left;
  const std::int32_t dy = inputs.primary_work_area.top - inputs.primary_monitor.top;
  saved.window_rect = WindowRect{inputs.restored.left + dx, inputs.restored.top + dy,
                                 inputs.restored.right + dx, inputs.restored.bottom + dy};
  if (!inputs.ever_shown) {
    saved.maximized = inputs.stored_maximized;
  } else {
    saved.maximized = inputs.show_cmd == kShowMaximized ||
                      (inputs.show_cmd == kShowMinimized && (inputs.flags & kRestoreToMaximized));
  }
  saved.advanced_visible = inputs.advanced ? 1 : 0;
  return saved;
}

FrameLayout LayOutFrame(std::int32_t client_width, std::int32_t client_height,
                        std::int32_t status_width) {
  FrameLayout layout;
  layout.tab_control = Rect{0, 0, client_width - 8, client_height - 54};
  layout.parts = {status_width - 200, status_width - 100, -1};
  return layout;
}

Rect PageRect(const Rect& display_area, std::int32_t status_height) {
  Rect page = display_area;
  page.bottom = std::max(page.top, page.bottom - status_height);
  return page;
}

}  // namespace app
