// ButtonMessageBox: a message box whose buttons may carry the program's own
// captions, built as an in-memory dialog. It may be called from a worker
// thread with an owner on the user-interface thread; the box then runs
// modally on the calling thread, and comes to the foreground when shown. It
// lays itself out at the DPI of the owner's monitor (the system DPI where
// per-monitor DPI is unknown) and again when it moves to a monitor of
// another scale.
// Tested by tests/toolkit/toolkit_gui_test.cpp; its rules and layout by
// tests/toolkit/toolkit_logic_test.cpp.
#pragma once
#include <windows.h>

#include <string>

#include "toolkit/logic/message_box_layout.h"

struct ButtonMessageBoxParams {
  // Button captions separated by "\n" (up to 259 characters, at most four
  // buttons); the buttons answer 23, 24, 25, 26 from left to right. A
  // caption without an access key ("&") is given one. Empty: the standard
  // button set of the style's low four bits.
  std::wstring custom_buttons;
};

// `style` is laid out like the system message box's: button set in bits 0-3,
// icon in bits 4-7 (0x10 stop, 0x20 question, 0x30 exclamation, 0x40
// information), default button in bits 8-11, 0x1000 system modal, and
// toolkit::kMbNoSound to stay silent. Returns the pressed button's code (the
// system box's codes for standard buttons), or 0 when no box could be shown.
int ButtonMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style,
                     const ButtonMessageBoxParams* params = nullptr);
// The same with text and caption taken from the application's string table.
int ButtonMessageBox(HWND owner, UINT text_id, UINT caption_id, UINT style,
                     const ButtonMessageBoxParams* params = nullptr);
