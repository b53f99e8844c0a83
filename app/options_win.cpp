// The options dialog's shared helpers (see options_win.h).
// Tested by tests/app/options_gui_test.cpp.
#include "app/options_win.h"

#include <vector>

#include "app/logic/options_model.h"
#include "toolkit/application.h"
#include "toolkit/logic/message_box_layout.h"
#include "ui/ui_win.h"

namespace app {

bool COptionsPage::Create(HWND parent, int resource) {
  return CreateModeless(CApplication::Get().Instance(), MAKEINTRESOURCEW(resource), parent);
}

void CenterOnOwner(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  RECT outer{}, self{};
  if (!owner || !GetWindowRect(owner, &outer) || !GetWindowRect(dialog, &self)) return;
  const int w = self.right - self.left, h = self.bottom - self.top;
  SetWindowPos(dialog, nullptr, outer.left + (outer.right - outer.left - w) / 2,
               outer.top + (outer.bottom - outer.top - h) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring OptionsString(int id) { return ui::LoadUiString(static_cast<UINT>(id)); }

void SetTextsWithAccessKeys(HWND dialog, std::initializer_list<std::pair<int, int>> texts) {
  std::vector<std::u16string> captions;
  for (const auto& text : texts) captions.push_back(ui::Utf16(OptionsString(text.second)));
  toolkit::AssignAccessKeys(captions);
  std::size_t i = 0;
  for (const auto& text : texts) {
    SetDlgItemTextW(dialog, text.first, ui::Wide(captions[i++]).c_str());
  }
}

bool AskYesNo(HWND owner, int text_id, int caption_id) {
  return MessageBoxW(owner, OptionsString(text_id).c_str(), OptionsString(caption_id).c_str(),
                     MB_YESNO | MB_ICONWARNING) == IDYES;
}

void ShowDuplicateWarning(HWND owner) {
  MessageBoxW(owner, OptionsString(IDS_OPT_DUPLICATE).c_str(),
              OptionsString(IDS_OPT_WARNING).c_str(), MB_OK | MB_ICONWARNING);
}

std::u16string ProgramPath() {
  // Grown until the path fits: a path may be longer than MAX_PATH.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return ui::Utf16(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace app
