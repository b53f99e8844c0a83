// Fault handling of window and dialog procedures (see fault_guard.h).
// Tested by tests/toolkit/toolkit_gui_test.cpp (through a child process).
//
// MinGW has no structured-exception translator, so a vectored exception
// handler stands in for it. Vectored handlers see every exception first,
// including faults that system code provokes and handles itself (probing
// memory), so the handler acts only on a thread inside a window procedure
// and only when the fault lies in this module; a fault elsewhere in such a
// thread (inside the C runtime, say) that nobody handles reaches the
// unhandled-exception filter, which applies the same rule.
#include "toolkit/fault_guard.h"

#include <cstdio>
#include <cstdlib>

namespace {

DWORD g_depth_slot = TLS_OUT_OF_INDEXES;
INIT_ONCE g_install_once = INIT_ONCE_STATIC_INIT;
// Room the stack-overflow handler needs to start the reporting thread.
constexpr ULONG kStackGuarantee = 64 * 1024;

bool InsideHandler() {
  return g_depth_slot != TLS_OUT_OF_INDEXES && TlsGetValue(g_depth_slot) != nullptr;
}

bool InThisModule(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCWSTR>(address), &module)) {
    return false;
  }
  HMODULE self = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&InThisModule), &self);
  return module == self;
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (InsideHandler() && IsProcessorFault(record->ExceptionCode) &&
      InThisModule(record->ExceptionAddress)) {
    ReportRuntimeErrorAndAbort(record->ExceptionCode);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

LPTOP_LEVEL_EXCEPTION_FILTER g_previous_filter = nullptr;

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  if (InsideHandler() && IsProcessorFault(code)) ReportRuntimeErrorAndAbort(code);
  return g_previous_filter ? g_previous_filter(info) : EXCEPTION_CONTINUE_SEARCH;
}

BOOL CALLBACK Install(INIT_ONCE*, void*, void**) {
  g_depth_slot = TlsAlloc();
  AddVectoredExceptionHandler(1, &OnException);
  g_previous_filter = SetUnhandledExceptionFilter(&OnUnhandledException);
  return TRUE;
}

DWORD WINAPI ShowRuntimeErrorBox(void* parameter) {
  const DWORD code = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(parameter));
  wchar_t text[64];
  swprintf(text, 64, L"Runtime error (code = 0x%x)!", static_cast<unsigned>(code));
  MessageBoxW(nullptr, text, nullptr, MB_OK | MB_ICONERROR);
  return 0;
}

}  // namespace

CFaultScope::CFaultScope() {
  InitOnceExecuteOnce(&g_install_once, &Install, nullptr, nullptr);
  const UINT_PTR depth = reinterpret_cast<UINT_PTR>(TlsGetValue(g_depth_slot));
  if (depth == 0) {
    ULONG guarantee = kStackGuarantee;
    SetThreadStackGuarantee(&guarantee);
  }
  TlsSetValue(g_depth_slot, reinterpret_cast<void*>(depth + 1));
}

CFaultScope::~CFaultScope() {
  const UINT_PTR depth = reinterpret_cast<UINT_PTR>(TlsGetValue(g_depth_slot));
  TlsSetValue(g_depth_slot, reinterpret_cast<void*>(depth - 1));
}

bool IsProcessorFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_STACK_OVERFLOW: return true;
    default: return false;
  }
}

void ReportRuntimeErrorAndAbort(DWORD code) {
  HANDLE thread = CreateThread(nullptr, 0, &ShowRuntimeErrorBox,
                               reinterpret_cast<void*>(static_cast<UINT_PTR>(code)), 0, nullptr);
  if (thread) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  } else {
    ShowRuntimeErrorBox(reinterpret_cast<void*>(static_cast<UINT_PTR>(code)));
  }
  // The C runtime's abort would show a box of its own in a GUI program;
  // routing its message to standard error (none here) keeps it silent.
  _set_error_mode(_OUT_TO_STDERR);
  std::abort();
}
