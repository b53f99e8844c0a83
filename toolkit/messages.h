// The private window messages the toolkit's controls send to their parents.
#pragma once
#include <windows.h>

// Posted by CFlatButton to its notify window; wParam: the button's handle.
inline constexpr UINT WM_FLATBUTTON_CLICKED = WM_USER + 2000;
// Posted by CTabControl to its parent on a middle click; wParam: tab index.
inline constexpr UINT WM_TAB_MIDDLECLICK = WM_USER + 2001;
// Posted by CTabControl to its parent after a tab was dragged to another
// place; wParam: its old index, lParam: its new index.
inline constexpr UINT WM_TAB_MOVED = WM_USER + 2002;
// Posted by CRichEditControl to its parent on a left double click, with the
// double click's wParam and lParam.
inline constexpr UINT WM_PREVIEW_GOTO = WM_USER + 110;
