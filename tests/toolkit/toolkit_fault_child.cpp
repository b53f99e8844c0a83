// toolkit_fault_child: faults on purpose inside a window or dialog procedure,
// of the kind named by its argument; toolkit_gui_test checks that it shows
// the runtime error box and aborts.
#include <cstring>

#include "toolkit/dialog_template.h"
#include "toolkit/window.h"

namespace {

constexpr UINT kFaultMessage = WM_APP + 1;
const char* g_kind = "";

// Ends only when the stack does; the volatile limit hides that from the
// compiler, which would otherwise reject the recursion as infinite.
volatile int g_depth_limit = 1 << 30;

__attribute__((noinline)) int Recurse(int depth) {
  volatile char frame[4096];
  frame[0] = static_cast<char>(depth);
  if (depth >= g_depth_limit) return frame[0];
  return Recurse(depth + 1) + frame[0];
}

void Fault() {
  if (std::strcmp(g_kind, "access") == 0 || std::strcmp(g_kind, "dialog") == 0) {
    // Volatile both ways: the compiler may neither see that the pointer is
    // null (it would emit a trap) nor drop the unread store.
    volatile int* volatile pointer = nullptr;
    *pointer = 1;
  } else if (std::strcmp(g_kind, "divide") == 0) {
    // A dividend of 1 would be computed without a division instruction.
    volatile int dividend = 7, zero = 0;
    volatile int quotient = dividend / zero;
    (void)quotient;
  } else if (std::strcmp(g_kind, "illegal") == 0) {
    __builtin_trap();
  } else if (std::strcmp(g_kind, "stack") == 0) {
    Recurse(0);
  }
}

class CFaultWindow : public CWindow {
 public:
  LRESULT WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) override {
    if (msg == kFaultMessage) {
      if (std::strcmp(g_kind, "settext") == 0) {
        // A second object bound to a destroyed window: SetText fails.
        HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 10, 10, Handle(), nullptr,
                                    nullptr, nullptr);
        CWindow stale;
        stale.Attach(edit);
        DestroyWindow(edit);
        stale.SetText(L"never shown");
      }
      Fault();
      return 0;
    }
    return DefaultProc(msg, wparam, lparam);
  }
};

class CFaultDialog : public CWindow {
 public:
  INT_PTR DialogProc(UINT msg, WPARAM, LPARAM) override {
    if (msg == WM_INITDIALOG) PostMessageW(Handle(), kFaultMessage, 0, 0);
    if (msg == kFaultMessage) Fault();
    return FALSE;
  }
};

int RunDialog() {
  CDialogTemplateBuilder builder;
  builder.SetDialog(WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 10, 10, 120, 60, u"Fault dialog");
  builder.SetFont(8, u"MS Shell Dlg");
  const auto words = builder.Build();
  CFaultDialog dialog;
  return static_cast<int>(dialog.DoModalIndirect(
      GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()), nullptr));
}

int RunWindow() {
  if (!CWindow::RegisterWindowClass(L"VarnelFaultWindow")) return 10;
  CFaultWindow window;
  if (!window.Create(0, L"VarnelFaultWindow", L"Fault window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                     10, 200, 100, nullptr)) {
    return 11;
  }
  PostMessageW(window.Handle(), kFaultMessage, 0, 0);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  g_kind = argv[1];
  return std::strcmp(g_kind, "dialog") == 0 ? RunDialog() : RunWindow();
}
