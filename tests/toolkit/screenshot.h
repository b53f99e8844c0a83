// Screenshots of the test programs' windows as PNG files, for people to look
// at after a GUI test run.
#pragma once
#include <windows.h>

#include <string>

struct ScreenshotInfo {
  int width = 0;
  int height = 0;
  int distinct_colors = 0;  // a blank capture has one or two
};

// Captures the window's screen rectangle, once the screen shows what the
// window has drawn (within bounds), and writes it to `path` (PNG).
[[nodiscard]] bool SaveWindowScreenshot(HWND window, const std::wstring& path,
                                        ScreenshotInfo* info);
