// COptionsDialog (see options_dialog.h).
// Tested by tests/app/options_gui_test.cpp.
#include "app/options_dialog.h"

#include "app/logic/app_text.h"
#include "app/logic/options_model.h"
#include "toolkit/application.h"
#include "toolkit/dialog_banner.h"
#include "ui/logic/ui_text.h"

namespace app {
namespace {

constexpr int kTabTexts[] = {IDS_OPT_TAB_GENERAL, IDS_OPT_TAB_DISPLAY, IDS_OPT_TAB_FORMATS,
                             IDS_OPT_TAB_SKIP};
constexpr int kPageResources[] = {IDD_OPTIONS_GENERAL, IDD_OPTIONS_DISPLAY, IDD_OPTIONS_FORMATS,
                                  IDD_OPTIONS_SKIP};

}  // namespace

COptionsDialog::COptionsDialog(AppSettings& settings, ShellIntegrationState& shell,
                               IRegistry& registry)
    : settings_(settings),
      general_(settings, shell, registry),
      display_(settings),
      formats_(settings),
      skip_(settings),
      pages_{&general_, &display_, &formats_, &skip_} {}

bool COptionsDialog::Run(HWND owner) {
  return DoModal(CApplication::Get().Instance(), MAKEINTRESOURCEW(IDD_OPTIONS), owner) == IDOK;
}

bool COptionsDialog::OnInit() {
  CenterOnOwner(Handle());
  SetText(OptionsString(IDS_OPT_CAPTION));
  SetDlgItemTextW(Handle(), IDOK, OptionsString(ui::IDS_OK).c_str());
  SetDlgItemTextW(Handle(), IDCANCEL, OptionsString(ui::IDS_ACTION_CANCEL).c_str());
  HWND tabs = GetDlgItem(IDC_OPTIONS_TABS);
  for (int i = 0; i < 4; ++i) {
    std::wstring text = OptionsString(kTabTexts[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    TabCtrl_InsertItem(tabs, i, &item);
  }
  // The display area in the dialog's coordinates.
  RECT area{};
  GetWindowRect(tabs, &area);
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&area), 2);
  TabCtrl_AdjustRect(tabs, FALSE, &area);
  for (int i = 0; i < 4; ++i) {
    if (!pages_[i]->Create(Handle(), kPageResources[i])) return false;
    // Above the tab control, which would otherwise paint over the page.
    SetWindowPos(pages_[i]->Handle(), HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOACTIVATE);
    pages_[i]->Fill();
  }
  ShowPage(0);
  return true;
}

void COptionsDialog::ShowPage(int index) {
  TabCtrl_SetCurSel(GetDlgItem(IDC_OPTIONS_TABS), index);
  for (int i = 0; i < 4; ++i) ShowWindow(pages_[i]->Handle(), i == index ? SW_SHOW : SW_HIDE);
}

void COptionsDialog::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  DrawDialogBanner(Handle(), dc, OptionsString(IDS_OPT_CAPTION),
                   OptionsString(IDS_OPT_BANNER_LINE) + OptionsString(IDS_APP_NAME),
                   kBannerListIconId);
  EndPaint(Handle(), &ps);
}

void COptionsDialog::OnOk() {
  for (COptionsPage* page : pages_) page->Apply();
  // A failed save is not reported: the settings stay in memory and are
  // saved again at shutdown.
  (void)SaveSettings(settings_);
  EndDialog(Handle(), IDOK);
}

void COptionsDialog::OnNotify(NMHDR* header, LRESULT*) {
  if (header->idFrom == IDC_OPTIONS_TABS && header->code == TCN_SELCHANGE) {
    ShowPage(TabCtrl_GetCurSel(header->hwndFrom));
  }
}

INT_PTR COptionsDialog::DialogProc(UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      if (!OnInit()) EndDialog(Handle(), IDABORT);
      return TRUE;
    case WM_PAINT: Paint(); return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK: OnOk(); return TRUE;
        case IDCANCEL: EndDialog(Handle(), IDCANCEL); return TRUE;
        default: return FALSE;
      }
    default: return FALSE;
  }
}

bool ShowOptionsDialog(HWND owner, AppSettings& settings, ShellIntegrationState& shell,
                       IRegistry& registry) {
  COptionsDialog dialog(settings, shell, registry);
  return dialog.Run(owner);
}

}  // namespace app
