// CShellHelper (see shell_helper.h). Tested by tests/ui/shell_ops_gui_test.cpp.
#include "ui/shell_helper.h"

#include <shellapi.h>

#include <cstring>

#include "ui/drop_source.h"
#include "ui/logic/shell_strings.h"
#include "ui/ui_win.h"

namespace ui {
namespace {

enum ShellStringId : UINT {
#define VARNEL_SHELL_STRING_ENUM(name, id, text) name = id,
  VARNEL_SHELL_STRINGS(VARNEL_SHELL_STRING_ENUM)
#undef VARNEL_SHELL_STRING_ENUM
};

// The length of a verb name asked of a shell command.
constexpr UINT kVerbLength = 40;

FORMATETC DropFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool Exists(const std::u16string& path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

template <typename T>
void ReleaseAndClear(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

bool PutText(HWND owner, const std::wstring& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  bool put = false;
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    // The clipboard owns the memory once it is set.
    put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!put) GlobalFree(memory);
  }
  CloseClipboard();
  return put;
}

// The item id list of a path: the fast way, then a simple one for a path
// that does not parse, then the desktop's parser.
PIDLIST_ABSOLUTE ItemList(IShellFolder* desktop, const std::wstring& path) {
  if (PIDLIST_ABSOLUTE list = ILCreateFromPathW(path.c_str())) return list;
  if (PIDLIST_ABSOLUTE list = SHSimpleIDListFromPath(path.c_str())) return list;
  PIDLIST_ABSOLUTE list = nullptr;
  ULONG attributes =
      (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) ? SFGAO_FOLDER : 0;
  std::wstring name = path;
  if (FAILED(
          desktop->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &list, &attributes))) {
    return nullptr;
  }
  return list;
}

}  // namespace

CShellHelper::~CShellHelper() {
  CloseMenu();
  if (clipboard_) {
    clipboard_->DetachListener();
    if (OleIsCurrentClipboard(clipboard_) == S_OK) (void)OleFlushClipboard();
    ReleaseAndClear(clipboard_);
  }
}

bool CShellHelper::PutOnClipboard(const PathList& paths, std::uint32_t number) {
  if (paths.empty()) return false;
  auto* object = new CDataObject(DropFormat(), FileDropBlock(paths), this, number);
  if (FAILED(OleSetClipboard(object))) {
    object->Release();
    return false;
  }
  // Only the newest object reports pastes: older ones could not be the
  // pending cut anyway.
  if (clipboard_) clipboard_->DetachListener();
  ReleaseAndClear(clipboard_);
  clipboard_ = object;  // keeps the reference it was created with
  return true;
}

bool CShellHelper::CopyFilesToClipboard(const PathList& paths) {
  cut_.Drop();
  return PutOnClipboard(paths, 0);
}

bool CShellHelper::CutFilesToClipboard(const PathList& paths) {
  const std::uint32_t number = cut_.Cut(paths);
  if (PutOnClipboard(paths, number)) return true;
  cut_.Drop();
  return false;
}

void CShellHelper::OnPastePerformed(std::uint32_t object_number, DWORD effect) {
  PathList left;
  for (std::u16string& path : cut_.TakePaste(object_number, effect)) {
    // A target that moved the files took them already.
    if (Exists(path)) left.push_back(std::move(path));
  }
  if (left.empty()) return;
  // To the Recycle Bin, so that a paste the user did not mean can be undone.
  const std::u16string list = DoubleNulList(left);
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = reinterpret_cast<const wchar_t*>(list.c_str());
  operation.fFlags = FOF_ALLOWUNDO | FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
  (void)SHFileOperationW(&operation);
}

bool CShellHelper::DeleteFiles(HWND owner, const PathList& paths) {
  if (paths.empty()) return false;
  const std::u16string list = DoubleNulList(paths);
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = owner;
  operation.wFunc = FO_DELETE;
  operation.pFrom = reinterpret_cast<const wchar_t*>(list.c_str());
  // The shell asks first; the files go to the Recycle Bin.
  operation.fFlags = FOF_ALLOWUNDO;
  return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

bool CShellHelper::OpenFile(const std::u16string& path) {
  if (path.empty()) return false;
  const std::wstring file = Wide(path);
  const auto code = reinterpret_cast<INT_PTR>(
      ShellExecuteW(GetDesktopWindow(), nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (code > 32) return true;
  if (code != SE_ERR_NOASSOC && code != SE_ERR_ASSOCINCOMPLETE) return false;
  // No program for the type: the system's Open With dialog. It takes the
  // rest of its command line as the file name, so no quotes.
  const std::wstring arguments = L"shell32.dll,OpenAs_RunDLL " + file;
  return reinterpret_cast<INT_PTR>(ShellExecuteW(GetDesktopWindow(), L"open", L"rundll32.exe",
                                                 arguments.c_str(), nullptr, SW_SHOWNORMAL)) > 32;
}

bool CShellHelper::ShowProperties(const PathList& paths) {
  IShellFolder* desktop = nullptr;
  if (paths.empty() || FAILED(SHGetDesktopFolder(&desktop))) return false;
  std::vector<PIDLIST_ABSOLUTE> lists;
  for (const std::u16string& path : paths) {
    if (PIDLIST_ABSOLUTE list = ItemList(desktop, Wide(path))) lists.push_back(list);
  }
  // The desktop takes whole paths as its children.
  std::vector<PCUITEMID_CHILD> children(lists.begin(), lists.end());
  bool shown = false;
  IDataObject* data = nullptr;
  if (lists.size() == paths.size() &&
      SUCCEEDED(desktop->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(),
                                       IID_IDataObject, nullptr,
                                       reinterpret_cast<void**>(&data)))) {
    shown = SUCCEEDED(SHMultiFileProperties(data, 0));
    data->Release();
  }
  for (PIDLIST_ABSOLUTE list : lists) ILFree(list);
  desktop->Release();
  return shown;
}

DWORD CShellHelper::DragFiles(const PathList& paths) {
  if (paths.empty()) return DROPEFFECT_NONE;
  auto* data = new CDataObject(DropFormat(), FileDropBlock(paths, kDragBlockSlack), nullptr, 0);
  auto* source = new CDropSource;
  DWORD effect = DROPEFFECT_NONE;
  // Files leave a result list by copy only.
  (void)DoDragDrop(data, source, DROPEFFECT_COPY, &effect);
  source->Release();
  data->Release();
  return effect;
}

// ---- Context menus ----

HMENU CShellHelper::BuildShellMenu(HWND owner, const std::u16string& path) {
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop))) return nullptr;
  PIDLIST_ABSOLUTE item = nullptr;
  std::wstring name = Wide(path);
  IShellFolder* parent = nullptr;
  PCUITEMID_CHILD child = nullptr;
  if (SUCCEEDED(desktop->ParseDisplayName(owner, nullptr, name.data(), nullptr, &item, nullptr)) &&
      SUCCEEDED(
          SHBindToParent(item, IID_IShellFolder, reinterpret_cast<void**>(&parent), &child))) {
    (void)parent->GetUIObjectOf(owner, 1, &child, IID_IContextMenu, nullptr,
                                reinterpret_cast<void**>(&menu_));
    parent->Release();
  }
  if (item) ILFree(item);
  desktop->Release();
  if (!menu_) return nullptr;
  // The newer interfaces draw and fill submenus (Send To, Open With) when
  // the menu's messages reach them.
  if (FAILED(menu_->QueryInterface(IID_IContextMenu3, reinterpret_cast<void**>(&menu3_)))) {
    menu3_ = nullptr;
    if (FAILED(menu_->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(&menu2_)))) {
      menu2_ = nullptr;
    }
  }
  popup_ = CreatePopupMenu();
  if (!popup_ || FAILED(menu_->QueryContextMenu(popup_, 0, kShellFirstCommand, kShellLastCommand,
                                                CMF_EXPLORE))) {
    CloseMenu();
    return nullptr;
  }
  // Our two items go before the first separator, or at the top.
  const int count = GetMenuItemCount(popup_);
  UINT at = 0;
  while (static_cast<int>(at) < count &&
         !(GetMenuState(popup_, at, MF_BYPOSITION) & MF_SEPARATOR)) {
    ++at;
  }
  if (static_cast<int>(at) == count) at = 0;
  InsertMenuW(popup_, at, MF_BYPOSITION | MF_STRING, kCmdOpenFileLocation,
              LoadUiString(IDS_OPEN_FILE_LOCATION).c_str());
  InsertMenuW(popup_, at + 1, MF_BYPOSITION | MF_STRING, kCmdCopyFileName,
              LoadUiString(IDS_COPY_FILE_NAME).c_str());
  InsertMenuW(popup_, at + 2, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  return popup_;
}

HMENU CShellHelper::BuildShortMenu() {
  popup_ = CreatePopupMenu();
  if (!popup_) return nullptr;
  AppendMenuW(popup_, MF_STRING, kCmdMenuCut, LoadUiString(IDS_MENU_CUT).c_str());
  AppendMenuW(popup_, MF_STRING, kCmdMenuCopy, LoadUiString(IDS_MENU_COPY).c_str());
  AppendMenuW(popup_, MF_STRING, kCmdMenuDelete, LoadUiString(IDS_MENU_DELETE).c_str());
  AppendMenuW(popup_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(popup_, MF_STRING, kCmdMenuProperties, LoadUiString(IDS_MENU_PROPERTIES).c_str());
  return popup_;
}

HMENU CShellHelper::BuildMenu(HWND owner, const PathList& paths) {
  CloseMenu();
  if (paths.empty()) return nullptr;
  return paths.size() == 1 ? BuildShellMenu(owner, paths.front()) : BuildShortMenu();
}

void CShellHelper::CloseMenu() {
  if (popup_) DestroyMenu(popup_);
  popup_ = nullptr;
  ReleaseAndClear(menu3_);
  ReleaseAndClear(menu2_);
  ReleaseAndClear(menu_);
}

CShellHelper::MenuOutcome CShellHelper::ShowContextMenu(HWND owner, POINT screen,
                                                        const PathList& paths) {
  if (menu_open_ || paths.empty()) return MenuOutcome::kNone;
  if (!BuildMenu(owner, paths)) {
    MessageBeep(MB_ICONEXCLAMATION);
    return MenuOutcome::kFailed;
  }
  menu_open_ = true;
  const auto command = static_cast<UINT>(TrackPopupMenu(popup_, TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                        screen.x, screen.y, 0, owner, nullptr));
  menu_open_ = false;
  const MenuOutcome outcome = command ? RunCommand(owner, command, paths) : MenuOutcome::kNone;
  CloseMenu();
  return outcome;
}

CShellHelper::MenuOutcome CShellHelper::RunShellCommand(HWND owner, UINT command) {
  if (!menu_) return MenuOutcome::kNone;
  const UINT_PTR offset = command - kShellFirstCommand;
  wchar_t verb[kVerbLength] = {};
  if (FAILED(menu_->GetCommandString(offset, GCS_VERBW, nullptr, reinterpret_cast<char*>(verb),
                                     kVerbLength))) {
    verb[0] = 0;
  }
  CMINVOKECOMMANDINFOEX invoke{};
  invoke.cbSize = sizeof invoke;
  invoke.fMask = CMIC_MASK_UNICODE;
  invoke.hwnd = owner;
  invoke.lpVerb = MAKEINTRESOURCEA(offset);
  invoke.lpVerbW = MAKEINTRESOURCEW(offset);
  invoke.nShow = SW_SHOWNORMAL;
  const bool ran = SUCCEEDED(menu_->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&invoke)));
  return ran && lstrcmpiW(verb, L"delete") == 0 ? MenuOutcome::kDeleted : MenuOutcome::kNone;
}

CShellHelper::MenuOutcome CShellHelper::RunCommand(HWND owner, UINT command,
                                                   const PathList& paths) {
  if (paths.empty()) return MenuOutcome::kNone;
  switch (command) {
    case kCmdOpenFileLocation:
      if (!OpenFile(ParentFolder(paths.front()))) MessageBeep(MB_ICONEXCLAMATION);
      return MenuOutcome::kNone;
    case kCmdCopyFileName: (void)PutText(owner, Wide(paths.front())); return MenuOutcome::kNone;
    case kCmdMenuCut: (void)CutFilesToClipboard(paths); return MenuOutcome::kNone;
    case kCmdMenuCopy: (void)CopyFilesToClipboard(paths); return MenuOutcome::kNone;
    case kCmdMenuDelete: (void)DeleteFiles(owner, paths); return MenuOutcome::kDeleted;
    case kCmdMenuProperties: (void)ShowProperties(paths); return MenuOutcome::kNone;
    default:
      if (command >= kShellFirstCommand && command <= kShellLastCommand) {
        return RunShellCommand(owner, command);
      }
      return MenuOutcome::kNone;
  }
}

bool CShellHelper::HandleMenuMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (!menu_open_ || !(menu2_ || menu3_)) return false;
  switch (msg) {
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_MENUCHAR: break;
    default: return false;
  }
  if (menu3_) return SUCCEEDED(menu3_->HandleMenuMsg2(msg, wparam, lparam, result));
  if (msg == WM_MENUCHAR) return false;
  if (FAILED(menu2_->HandleMenuMsg(msg, wparam, lparam))) return false;
  *result = msg == WM_INITMENUPOPUP ? 0 : TRUE;
  return true;
}

}  // namespace ui
