// The themed border (see themed_border.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/themed_border.h"

#include <commctrl.h>

#include <unordered_map>

#include "toolkit/fault_guard.h"

namespace {

using HTHEME_ = HANDLE;
// The "edit" class's part and states (vssym32.h).
constexpr int kEditTextPart = 1;
constexpr int kStateNormal = 1, kStateDisabled = 4, kStateFocused = 5;
constexpr UINT_PTR kSubclassId = 0x56424F52;  // any value unique to this subclass

struct ThemeApi {
  HTHEME_(WINAPI* OpenThemeData)(HWND, LPCWSTR) = nullptr;
  HRESULT(WINAPI* CloseThemeData)(HTHEME_) = nullptr;
  HRESULT(WINAPI* DrawThemeBackground)(HTHEME_, HDC, int, int, const RECT*, const RECT*) = nullptr;
  HRESULT(WINAPI* GetThemeBackgroundContentRect)
  (HTHEME_, HDC, int, int, const RECT*, RECT*) = nullptr;
  BOOL(WINAPI* IsThemeActive)() = nullptr;
  HRESULT(WINAPI* DrawThemeParentBackground)(HWND, HDC, const RECT*) = nullptr;
  BOOL(WINAPI* IsThemeBackgroundPartiallyTransparent)(HTHEME_, int, int) = nullptr;
  bool complete = false;
};

template <typename Function>
bool Resolve(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return function != nullptr;
}

const ThemeApi& Api() {
  static const ThemeApi api = [] {
    ThemeApi a;
    HMODULE module = LoadLibraryW(L"UxTheme.dll");
    if (!module) return a;
    a.complete =
        Resolve(module, "OpenThemeData", a.OpenThemeData) &&
        Resolve(module, "CloseThemeData", a.CloseThemeData) &&
        Resolve(module, "DrawThemeBackground", a.DrawThemeBackground) &&
        Resolve(module, "GetThemeBackgroundContentRect", a.GetThemeBackgroundContentRect) &&
        Resolve(module, "IsThemeActive", a.IsThemeActive) &&
        Resolve(module, "DrawThemeParentBackground", a.DrawThemeParentBackground) &&
        Resolve(module, "IsThemeBackgroundPartiallyTransparent",
                a.IsThemeBackgroundPartiallyTransparent);
    return a;
  }();
  return api;
}

struct ControlState {
  bool replaced = false;  // WS_BORDER / WS_EX_CLIENTEDGE removed for the themed border
  bool updating = false;  // our own style change is in progress
};

// The controls handled, on the user-interface thread only.
std::unordered_map<HWND, ControlState>& Controls() {
  static std::unordered_map<HWND, ControlState> controls;
  return controls;
}

std::optional<bool> g_theme_active_override;

bool ThemeOn() {
  if (!Api().complete) return false;
  return g_theme_active_override ? *g_theme_active_override : Api().IsThemeActive() != FALSE;
}

void RedrawFrame(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

// Swaps the classic border for the themed one while a theme is active, and
// back when the theme goes away.
void UpdateBorder(HWND hwnd, ControlState& state) {
  if (state.updating) return;
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  const LONG_PTR ex_style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  const bool classic = (style & WS_BORDER) || (ex_style & WS_EX_CLIENTEDGE);
  state.updating = true;
  if ((classic || state.replaced) && ThemeOn()) {
    if (style & WS_BORDER) SetWindowLongPtrW(hwnd, GWL_STYLE, style & ~WS_BORDER);
    if (ex_style & WS_EX_CLIENTEDGE) {
      SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex_style & ~WS_EX_CLIENTEDGE);
    }
    state.replaced = true;
  } else if (state.replaced) {
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex_style | WS_EX_CLIENTEDGE);
    state.replaced = false;
  }
  state.updating = false;
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawFrame(hwnd);
}

void ShrinkByContentMargins(HWND hwnd, RECT* client) {
  HTHEME_ theme = Api().OpenThemeData(hwnd, L"edit");
  if (!theme) return;
  const RECT bounds{0, 0, 100, 100};
  RECT content = bounds;
  if (SUCCEEDED(Api().GetThemeBackgroundContentRect(theme, nullptr, kEditTextPart, kStateNormal,
                                                    &bounds, &content))) {
    client->left += content.left - bounds.left;
    client->top += content.top - bounds.top;
    client->right -= bounds.right - content.right;
    client->bottom -= bounds.bottom - content.bottom;
  }
  Api().CloseThemeData(theme);
}

void PaintThemedFrame(HWND hwnd) {
  HTHEME_ theme = Api().OpenThemeData(hwnd, L"edit");
  if (!theme) return;
  RECT window{};
  GetWindowRect(hwnd, &window);
  RECT client{};
  GetClientRect(hwnd, &client);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  OffsetRect(&window, -window.left, -window.top);
  HDC dc = GetWindowDC(hwnd);
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  const int state = !IsWindowEnabled(hwnd) ? kStateDisabled
                    : GetFocus() == hwnd   ? kStateFocused
                                           : kStateNormal;
  if (Api().IsThemeBackgroundPartiallyTransparent(theme, kEditTextPart, state)) {
    Api().DrawThemeParentBackground(hwnd, dc, &window);
  }
  Api().DrawThemeBackground(theme, dc, kEditTextPart, state, &window, nullptr);
  ReleaseDC(hwnd, dc);
  Api().CloseThemeData(theme);
}

LRESULT CALLBACK BorderProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR,
                            DWORD_PTR) {
  return RunGuarded([&]() -> LRESULT {
    const auto it = Controls().find(hwnd);
    if (it == Controls().end()) return DefSubclassProc(hwnd, msg, wparam, lparam);
    ControlState& state = it->second;
    switch (msg) {
      case WM_STYLECHANGED:
      case WM_THEMECHANGED: {
        const LRESULT result = DefSubclassProc(hwnd, msg, wparam, lparam);
        UpdateBorder(hwnd, state);
        return result;
      }
      case WM_NCCALCSIZE: {
        const LRESULT result = DefSubclassProc(hwnd, msg, wparam, lparam);
        if (state.replaced) ShrinkByContentMargins(hwnd, reinterpret_cast<RECT*>(lparam));
        return result;
      }
      case WM_NCPAINT: {
        const LRESULT result = DefSubclassProc(hwnd, msg, wparam, lparam);
        if (state.replaced) PaintThemedFrame(hwnd);
        return result;
      }
      case WM_ENABLE:
      case WM_SETFOCUS:
      case WM_KILLFOCUS: RedrawFrame(hwnd); break;
      case WM_DESTROY:
        RemoveWindowSubclass(hwnd, &BorderProc, kSubclassId);
        Controls().erase(it);
        break;
      default: break;
    }
    return DefSubclassProc(hwnd, msg, wparam, lparam);
  });
}

}  // namespace

bool CThemedBorder::Available() { return Api().complete; }

bool CThemedBorder::ThemeActive() { return ThemeOn(); }

bool CThemedBorder::Apply(HWND control) {
  if (!Available() || !control) return false;
  auto [it, added] = Controls().try_emplace(control);
  if (!added) return true;
  if (!SetWindowSubclass(control, &BorderProc, kSubclassId, 0)) {
    Controls().erase(it);
    return false;
  }
  UpdateBorder(control, it->second);
  return true;
}

bool CThemedBorder::Replaced(HWND control) {
  const auto it = Controls().find(control);
  return it != Controls().end() && it->second.replaced;
}

void CThemedBorder::SetThemeActiveForTesting(std::optional<bool> active) {
  g_theme_active_override = active;
}
