// The main window's placement and layout arithmetic: the rectangle and show
// state at start-up (saved, or the centred default; moved onto a monitor when
// it lies on none), what shutdown stores, the tab strip, the status bar parts
// and the page area.
// Tested by tests/app/logic/app_logic_test.cpp.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "storage/app_settings.h"

namespace app {

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

enum class ShowState { kNormal, kMaximized, kMinimized };

// The smallest the window can be made.
inline constexpr std::int32_t kMinWindowWidth = 600;
inline constexpr std::int32_t kMinWindowHeight = 400;

// 3/4 of the screen high, 1.4 times as wide as high, centred horizontally,
// its top at H/2 - 3H/8 (integer arithmetic, divisions truncate).
Rect DefaultWindowRect(std::int32_t screen_width, std::int32_t screen_height);

struct StartInputs {
  WindowRect saved;  // settings.xml's window_rect; all zero when never saved
  std::int32_t advanced_visible = 0;
  bool maximized = false;
  bool autorun = false;
  std::int32_t screen_width = 0;
  std::int32_t screen_height = 0;
  std::vector<Rect> monitors;  // work areas of the monitors now attached
};

struct StartPlacement {
  Rect rect;
  bool advanced = true;
  ShowState show = ShowState::kNormal;
  bool operator==(const StartPlacement&) const = default;
};

// A saved rectangle (when not all zero) with the advanced flag saved with
// it; otherwise the default rectangle and the advanced panel shown. A saved
// rectangle that has no width or height is replaced by the default one. A
// rectangle on no monitor is moved onto the nearest one (see OntoMonitor).
// Shown minimized with "-autorun", else maximized when saved so, else normal.
StartPlacement InitialPlacement(const StartInputs& inputs);

// `rect` when it overlaps one of `monitors` (or there are none); otherwise
// moved, at its size where that fits, into the work area nearest to it.
Rect OntoMonitor(const Rect& rect, const std::vector<Rect>& monitors);

// GetWindowPlacement's view at shutdown. Its restored rectangle is in
// workspace coordinates: shifted by the taskbar when it sits at the left or
// the top of the primary monitor.
struct ShutdownInputs {
  Rect restored;
  std::int32_t show_cmd = 0;  // SW_SHOWNORMAL 1, SW_SHOWMINIMIZED 2, SW_SHOWMAXIMIZED 3
  std::uint32_t flags = 0;    // WPF_RESTORETOMAXIMIZED 2
  // False while the window has only been in the notification area since an
  // "-autorun" start: it was never maximized or not, so the stored value
  // stays.
  bool ever_shown = true;
  bool stored_maximized = false;
  bool advanced = true;
  // The primary monitor's whole area and work area, to turn the workspace
  // rectangle into screen coordinates.
  Rect primary_monitor;
  Rect primary_work_area;
};

struct SavedPlacement {
  WindowRect window_rect;
  bool maximized = false;
  std::int32_t advanced_visible = 1;
  bool operator==(const SavedPlacement&) const = default;
};

// What shutdown writes into the settings: the restored rectangle in screen
// coordinates, whether the window is (or, minimized, returns to) maximized,
// and the advanced flag.
SavedPlacement PlacementToSave(const ShutdownInputs& inputs);

// Main window layout in client coordinates.
struct FrameLayout {
  Rect tab_control;                   // at the origin, client size less 8 by 54
  std::array<std::int32_t, 3> parts;  // status bar right edges; -1 runs to the end
};
FrameLayout LayOutFrame(std::int32_t client_width, std::int32_t client_height,
                        std::int32_t status_width);

// The visible page: the tab control's display area less the status bar's
// height at its bottom.
Rect PageRect(const Rect& display_area, std::int32_t status_height);

// A double click opens a new tab when it falls within the tab strip's height.
inline bool DoubleClickOpensTab(std::int32_t y, std::int32_t strip_height) {
  return y >= 0 && y < strip_height;
}

}  // namespace app
