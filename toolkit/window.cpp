// CWindow and the shared window and dialog procedures (see window.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#include "toolkit/window.h"

#include <vector>

#include "toolkit/application.h"
#include "toolkit/fault_guard.h"

bool CWindow::IsEnabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

CWindow::~CWindow() { Destroy(); }

LRESULT CWindow::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  return DefaultProc(msg, wparam, lparam);
}

INT_PTR CWindow::DialogProc(UINT, WPARAM, LPARAM) { return 0; }

bool CWindow::PreTranslateMessage(MSG*) { return false; }

void CWindow::OnNotify(NMHDR*, LRESULT*) {}

void CWindow::OnReflectedNotify(NMHDR*, LRESULT*) {}

void CWindow::OnAttached() {}

void CWindow::OnDetached() {}

CWindow* CWindow::FromHandle(HWND hwnd) { return CApplication::Get().Lookup(hwnd); }

LRESULT CWindow::DefaultProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (subclassed_ && previous_proc_) {
    return CallWindowProcW(previous_proc_, hwnd_, msg, wparam, lparam);
  }
  return DefWindowProcW(hwnd_, msg, wparam, lparam);
}

void CWindow::Attach(HWND hwnd, bool owns) {
  if (hwnd_ && hwnd_ != hwnd) Destroy();
  hwnd_ = hwnd;
  const CWindow* bound = FromHandle(hwnd);
  if (bound && bound != this) {
    foreign_ = true;
    owns_ = false;
  } else {
    foreign_ = false;
    owns_ = owns;
    Subclass();
  }
  OnAttached();
}

void CWindow::Subclass() {
  if (!hwnd_ || subclassed_) return;
  CApplication::Get().Register(hwnd_, this);
  // A window of a class registered with the shared procedure is routed
  // already; chaining the procedure to itself would recurse for ever.
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC));
  if (current == &SharedWindowProc) return;
  subclassed_ = true;
  previous_proc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SharedWindowProc)));
}

void CWindow::Destroy() {
  if (!hwnd_) return;
  if (owns_) {
    owns_ = false;
    DestroyWindow(hwnd_);
    if (!hwnd_) return;  // WM_NCDESTROY has let go of the handle
  }
  if (!foreign_) {
    if (subclassed_) {
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_proc_));
    }
    CApplication::Get().Unregister(hwnd_, this);
  }
  subclassed_ = false;
  previous_proc_ = nullptr;
  foreign_ = false;
  OnDetached();
  hwnd_ = nullptr;
}

void CWindow::BindCreated(HWND hwnd) {
  hwnd_ = hwnd;
  foreign_ = false;
  CApplication::Get().Register(hwnd, this);
}

void CWindow::OnWindowGone() {
  CApplication::Get().Unregister(hwnd_, this);
  subclassed_ = false;
  previous_proc_ = nullptr;
  owns_ = false;
  foreign_ = false;
  OnDetached();
  hwnd_ = nullptr;
}

bool CWindow::Create(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu_or_id) {
  if (hwnd_) Destroy();
  owns_ = true;
  const HWND hwnd = CreateWindowExW(ex_style, class_name, title, style, x, y, width, height, parent,
                                    menu_or_id, CApplication::Get().Instance(), this);
  if (!hwnd) owns_ = false;
  return hwnd != nullptr && hwnd_ == hwnd;
}

bool CWindow::RegisterWindowClass(const wchar_t* class_name, UINT class_style, HBRUSH background,
                                  HICON icon) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = class_style;
  wc.lpfnWndProc = &SharedWindowProc;
  wc.hInstance = CApplication::Get().Instance();
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = class_name;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

INT_PTR CWindow::DoModal(HINSTANCE instance, const wchar_t* resource, HWND owner) {
  return DialogBoxParamW(instance, resource, owner, &SharedDialogProc,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CWindow::DoModalIndirect(HINSTANCE instance, const DLGTEMPLATE* dialog_template,
                                 HWND owner) {
  return DialogBoxIndirectParamW(instance, dialog_template, owner, &SharedDialogProc,
                                 reinterpret_cast<LPARAM>(this));
}

bool CWindow::CreateModeless(HINSTANCE instance, const wchar_t* resource, HWND parent) {
  if (hwnd_) Destroy();
  const HWND hwnd = CreateDialogParamW(instance, resource, parent, &SharedDialogProc,
                                       reinterpret_cast<LPARAM>(this));
  if (!hwnd) return false;
  owns_ = true;
  return true;
}

void CWindow::SetText(const std::wstring& text) {
  if (!SetWindowTextW(hwnd_, text.c_str())) {
    throw CWindowError("SetText failed", GetLastError());
  }
}

std::wstring CWindow::GetText() const {
  const int length = GetWindowTextLengthW(hwnd_);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const int copied = GetWindowTextW(hwnd_, buffer.data(), length + 1);
  return std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

int CWindow::Width() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return r.right - r.left;
}

int CWindow::Height() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return r.bottom - r.top;
}

POINT CWindow::PositionInParent() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  POINT p{r.left, r.top};
  // Screen coordinates for a top-level window.
  if (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD) ScreenToClient(GetParent(hwnd_), &p);
  return p;
}

void CWindow::Move(int x, int y) {
  const POINT current = PositionInParent();
  SetWindowPos(hwnd_, nullptr, x == -1 ? current.x : x, y == -1 ? current.y : y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindow::Resize(int width, int height) {
  SetWindowPos(hwnd_, nullptr, 0, 0, width == -1 ? Width() : width,
               height == -1 ? Height() : height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWindow::Send(UINT msg, WPARAM wparam, LPARAM lparam) const {
  return SendMessageW(hwnd_, msg, wparam, lparam);
}

HWND CWindow::GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }

void CWindow::Enable(bool enable) { EnableWindow(hwnd_, enable ? TRUE : FALSE); }

// ---- Routing ----

bool CWindow::RouteNotify(CWindow* target, NMHDR* header, LRESULT* result) {
  target->OnNotify(header, result);
  HWND source = header->hwndFrom;
  // A tooltip asks for its text on behalf of the control that added the
  // tool; that control's handle travels in the tool's application value.
  if (header->code == TTN_GETDISPINFOW) {
    source = reinterpret_cast<HWND>(reinterpret_cast<NMTTDISPINFOW*>(header)->lParam);
  }
  if (CWindow* sender = FromHandle(source)) sender->OnReflectedNotify(header, result);
  return *result != 0;
}

LRESULT CWindow::RouteWindowMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  CWindow* window = FromHandle(hwnd);
  if (!window) {
    if (msg == WM_CREATE) {
      window = static_cast<CWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    }
    if (!window) return DefWindowProcW(hwnd, msg, wparam, lparam);
    window->BindCreated(hwnd);
  }
  if (msg == WM_NOTIFY && lparam) {
    LRESULT result = 0;
    if (RouteNotify(window, reinterpret_cast<NMHDR*>(lparam), &result)) return result;
  }
  const LRESULT result = window->WindowProc(msg, wparam, lparam);
  // The handler may have deleted the object; only a still bound one is told.
  if (msg == WM_NCDESTROY && FromHandle(hwnd) == window) window->OnWindowGone();
  return result;
}

INT_PTR CWindow::RouteDialogMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  CWindow* window = FromHandle(hwnd);
  if (!window) {
    if (msg != WM_INITDIALOG || !lparam) return 0;
    window = reinterpret_cast<CWindow*>(lparam);
    window->BindCreated(hwnd);
  }
  if (msg == WM_NOTIFY && lparam) {
    LRESULT result = 0;
    if (RouteNotify(window, reinterpret_cast<NMHDR*>(lparam), &result)) {
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
      return TRUE;
    }
  }
  const INT_PTR result = window->DialogProc(msg, wparam, lparam);
  if (msg == WM_NCDESTROY && FromHandle(hwnd) == window) window->OnWindowGone();
  return result;
}

LRESULT CALLBACK CWindow::SharedWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return RunGuarded([&] { return RouteWindowMessage(hwnd, msg, wparam, lparam); });
}

INT_PTR CALLBACK CWindow::SharedDialogProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return RunGuarded([&] { return RouteDialogMessage(hwnd, msg, wparam, lparam); });
}
