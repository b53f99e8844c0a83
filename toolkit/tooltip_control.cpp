// CToolTipControl (see tooltip_control.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/tooltip_control.h"

#include "toolkit/application.h"

bool CToolTipControl::Create(HWND owner) {
  HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                             CApplication::Get().Instance(), nullptr);
  if (!tip) return false;
  SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Attach(tip, true);
  return true;
}

bool CToolTipControl::AddTool(HWND tool, HWND notify_window, bool subclass) {
  TTTOOLINFOW info{};
  // The version 2 record, the first with lParam: comctl32 5 (a program
  // without a Common Controls 6 manifest) refuses the longer sizes.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | (subclass ? TTF_SUBCLASS : 0u);
  info.hwnd = notify_window;
  info.uId = reinterpret_cast<UINT_PTR>(tool);
  info.lpszText = LPSTR_TEXTCALLBACKW;
  info.lParam = reinterpret_cast<LPARAM>(tool);
  return Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

void CToolTipControl::Activate(bool active) { Send(TTM_ACTIVATE, active ? TRUE : FALSE); }

void CToolTipControl::RelayEvent(const MSG& msg) {
  Send(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}
