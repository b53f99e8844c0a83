// CWindow: binds an object to a window handle and routes the window's
// messages to virtual operations; the shared window and dialog procedures do
// the routing, reflect notifications to the control that sent them, and apply
// the fault rule (fault_guard.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#pragma once
// <windows.h> comes first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <string>

class CWindow {
 public:
  CWindow() = default;
  CWindow(const CWindow&) = delete;
  CWindow& operator=(const CWindow&) = delete;

  // The nine virtual operations, in slot order; every derived class keeps
  // them first and adds its own after them.
  virtual bool IsEnabled() const;
  virtual ~CWindow();
  // Default: the previous window procedure when subclassed, else DefWindowProcW.
  virtual LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam);
  // Default: 0 (the dialog manager's processing).
  virtual INT_PTR DialogProc(UINT msg, WPARAM wparam, LPARAM lparam);
  // Offered each message of the main loop before dispatch; true: handled.
  virtual bool PreTranslateMessage(MSG* msg);
  // A notification from a child of this window. Writing a non-zero *result
  // makes it the message's result (DWLP_MSGRESULT for a dialog) and skips
  // WindowProc/DialogProc for this message.
  virtual void OnNotify(NMHDR* header, LRESULT* result);
  // A notification this window's control sent to its parent, reflected back
  // to it; *result as for OnNotify.
  virtual void OnReflectedNotify(NMHDR* header, LRESULT* result);
  virtual void OnAttached();
  virtual void OnDetached();

  HWND Handle() const { return hwnd_; }
  static CWindow* FromHandle(HWND hwnd);

  // Binds the handle. When another object is already bound to it, this one
  // becomes a foreign wrapper: it neither subclasses nor unregisters the
  // handle and never destroys the window. Otherwise it registers itself and
  // subclasses the window; `owns` destroys the window with the object.
  void Attach(HWND hwnd, bool owns = false);
  // Registers the handle and replaces its window procedure with the shared
  // one (the registering part of Attach alone).
  void Subclass();
  // Destroys the window when owned, restores the window procedure, and lets
  // go of the handle. Also done by the destructor.
  void Destroy();

  // Creates a window of a class whose procedure is SharedWindowProc, bound to
  // this object from WM_CREATE on and owned by it.
  [[nodiscard]] bool Create(DWORD ex_style, const wchar_t* class_name, const wchar_t* title,
                            DWORD style, int x, int y, int width, int height, HWND parent,
                            HMENU menu_or_id = nullptr);
  // Registers a window class whose procedure is SharedWindowProc.
  [[nodiscard]] static bool RegisterWindowClass(const wchar_t* class_name, UINT class_style = 0,
                                                HBRUSH background = nullptr, HICON icon = nullptr);

  // Runs a modal dialog bound to this object (SharedDialogProc); returns the
  // EndDialog value, or -1 when the dialog could not be created.
  INT_PTR DoModal(HINSTANCE instance, const wchar_t* resource, HWND owner);
  INT_PTR DoModalIndirect(HINSTANCE instance, const DLGTEMPLATE* dialog_template, HWND owner);
  // Creates a modeless dialog bound to and owned by this object.
  [[nodiscard]] bool CreateModeless(HINSTANCE instance, const wchar_t* resource, HWND parent);

  // SetWindowTextW; a failure throws CWindowError("SetText failed").
  void SetText(const std::wstring& text);
  std::wstring GetText() const;

  // Geometry used for layout. Sizes of the window rectangle; positions in
  // the parent's client coordinates; -1 keeps the current value.
  int Width() const;
  int Height() const;
  POINT PositionInParent() const;
  void Move(int x, int y);
  void Resize(int width, int height);
  LRESULT Send(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) const;
  HWND GetDlgItem(int id) const;
  void Enable(bool enable);

  static LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  static INT_PTR CALLBACK SharedDialogProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

 protected:
  // What WindowProc does by default: the subclassed control's own procedure,
  // or DefWindowProcW.
  LRESULT DefaultProc(UINT msg, WPARAM wparam, LPARAM lparam);

 private:
  static LRESULT RouteWindowMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  static INT_PTR RouteDialogMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  // OnNotify and OnReflectedNotify; true when they produced the result.
  static bool RouteNotify(CWindow* target, NMHDR* header, LRESULT* result);
  void BindCreated(HWND hwnd);
  // WM_NCDESTROY: the handle is gone; it may be reused by a new window, so
  // the object must not keep it, route by it, or destroy it later.
  void OnWindowGone();

  HWND hwnd_ = nullptr;
  WNDPROC previous_proc_ = nullptr;
  bool subclassed_ = false;
  bool owns_ = false;
  bool foreign_ = false;
};
