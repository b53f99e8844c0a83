// The About box (see about_dialog.h).
#include "app/about_dialog.h"

#include <cwchar>
#include <vector>

#include "app/logic/app_text.h"
#include "app/resources/resource.h"
#include "toolkit/application.h"
#include "ui/logic/ui_text.h"
#include "ui/ui_win.h"

std::wstring ProgramVersion() {
  wchar_t path[MAX_PATH] = {};
  if (!GetModuleFileNameW(nullptr, path, MAX_PATH)) return {};
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return {};
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(path, 0, size, block.data())) return {};
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return {};
  }
  wchar_t text[48];
  std::swprintf(text, 48, L"%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS));
  return text;
}

void CAboutDialog::Run(HWND owner) {
  DoModal(CApplication::Get().Instance(), MAKEINTRESOURCEW(IDD_ABOUT), owner);
}

INT_PTR CAboutDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: {
      SetText(ui::LoadUiString(app::IDS_APP_ABOUT_CAPTION));
      ui::SetControlTexts(Handle(), {{IDC_ABOUT_NAME, app::IDS_APP_NAME},
                                     {IDC_ABOUT_TEXT, app::IDS_APP_ABOUT_TEXT},
                                     {IDOK, ui::IDS_OK}});
      const std::wstring format = ui::LoadUiString(app::IDS_APP_ABOUT_VERSION);
      const std::wstring version = ProgramVersion();
      std::wstring line = format;
      const std::size_t at = line.find(L"%s");
      if (at != std::wstring::npos) line.replace(at, 2, version);
      SetDlgItemTextW(Handle(), IDC_ABOUT_VERSION, line.c_str());
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndDialog(Handle(), IDOK);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}
