// Drives the built Varnel.exe: its window appears with the right class and
// title, closes on WM_CLOSE with exit code 0, and its resources (manifest,
// icon sizes, version, strings) are what the program promises.
// Runs under Wine on an Xvfb display (run_gui_test.sh); leaves a screenshot.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/logic/app_text.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kStartLimitMs = 30000;  // a cold Wine prefix starts slowly
constexpr DWORD kPollMs = 100;

std::wstring ModuleFolder() {
  wchar_t buffer[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  std::wstring path(buffer, length);
  return path.substr(0, path.find_last_of(L'\\'));
}

// VARNEL_EXE_RELATIVE is the program's path relative to this test's folder
// in the build tree, set by tests/app/CMakeLists.txt.
std::wstring VarnelExePath() {
  std::wstring relative = VARNEL_EXE_RELATIVE;
  for (wchar_t& c : relative) {
    if (c == L'/') c = L'\\';
  }
  return ModuleFolder() + L"\\" + relative;
}

struct FindByProcess {
  DWORD process_id;
  HWND found;
};

// The top-level window of class "VarnelWindowClass" that belongs to one
// process; a window left over from another run does not count.
HWND FindVarnelWindow(DWORD process_id) {
  FindByProcess search{process_id, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<FindByProcess*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t class_name[64] = {};
        GetClassNameW(window, class_name, 64);
        if (owner == s->process_id && std::wstring(class_name) == L"VarnelWindowClass") {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Owns the started program; ends it if a failed check left it running.
class RunningVarnel {
 public:
  bool Start() {
    std::wstring exe = VarnelExePath();
    std::wstring command_line = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info_) != FALSE;
  }
  ~RunningVarnel() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, INFINITE);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }

  // Polls for the main window with a bound; stops early if the program ends.
  HWND WaitForWindow() {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kStartLimitMs) {
      // The window exists before it is shown; wait for a window a user sees.
      HWND window = FindVarnelWindow(info_.dwProcessId);
      if (window && IsWindowVisible(window)) return window;
      if (WaitForSingleObject(info_.hProcess, kPollMs) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

  HANDLE process() const { return info_.hProcess; }

 private:
  PROCESS_INFORMATION info_{};
};

// Saves the screen as a 24-bit BMP; run_gui_test.sh turns it into a PNG.
bool SaveScreenshot(const std::wstring& path) {
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
    SelectObject(memory, old);
    GdiFlush();
  }
  if (ok) {
    DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    DWORD image_size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + image_size;
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), image_size);
    ok = out.good();
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

TEST(AppWindowTest, OpensVarnelWindowAndExitsWithZeroWhenClosed) {
  RunningVarnel varnel;
  ASSERT_TRUE(varnel.Start()) << "CreateProcessW failed, error " << GetLastError();
  HWND window = varnel.WaitForWindow();
  ASSERT_NE(window, nullptr) << "no visible VarnelWindowClass window within the time limit";

  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  EXPECT_EQ(std::wstring(title), L"Varnel");

  // A message answered by the window's thread means it finished creating and
  // painting the window and is in its message loop.
  DWORD_PTR ignored = 0;
  ASSERT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kStartLimitMs, &ignored),
            0);
  EXPECT_TRUE(SaveScreenshot(ModuleFolder() + L"\\app_window.bmp"));

  ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
  ASSERT_EQ(WaitForSingleObject(varnel.process(), kStartLimitMs), WAIT_OBJECT_0)
      << "Varnel.exe did not end after WM_CLOSE";
  DWORD exit_code = 1234;
  ASSERT_TRUE(GetExitCodeProcess(varnel.process(), &exit_code));
  EXPECT_EQ(exit_code, 0u);
}

// ------------------------------------------------------------- resources

class ResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(VarnelExePath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << "cannot load Varnel.exe's resources";
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  std::string ResourceBytes(LPCWSTR type, LPCWSTR name) {
    HRSRC found = FindResourceW(module_, name, type);
    if (!found) return std::string();
    HGLOBAL loaded = LoadResource(module_, found);
    const char* data = static_cast<const char*>(LockResource(loaded));
    return data ? std::string(data, SizeofResource(module_, found)) : std::string();
  }

  HMODULE module_ = nullptr;
};

TEST_F(ResourcesTest, ManifestDeclaresTheProgramsRuntimeSettings) {
  std::string manifest = ResourceBytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
  ASSERT_FALSE(manifest.empty());
  struct Case {
    const char* text;
    bool present;
  };
  const Case cases[] = {
      {"Microsoft.Windows.Common-Controls", true},
      {"version=\"6.0.0.0\"", true},
      {"<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
       "PerMonitorV2, PerMonitor</dpiAwareness>",
       true},
      {">true</longPathAware>", true},
      {"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", true},  // Windows 10 and 11
      // The engine decodes unmarked files through the legacy ANSI code page;
      // a UTF-8 process code page would change every such decode.
      {"<activeCodePage", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(manifest.find(c.text) != std::string::npos, c.present) << c.text;
  }
}

TEST_F(ResourcesTest, IconHoldsEverySizeTheShellAsksFor) {
#pragma pack(push, 2)
  struct GroupEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bit_count;
    DWORD bytes;
    WORD id;
  };
#pragma pack(pop)
  std::string group = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_VARNEL));
  ASSERT_GE(group.size(), 6u);
  WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
  ASSERT_EQ(group.size(), 6u + count * sizeof(GroupEntry));
  std::vector<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    const auto* entry = reinterpret_cast<const GroupEntry*>(group.data() + 6) + i;
    sizes.push_back(entry->width == 0 ? 256 : entry->width);
    EXPECT_EQ(entry->bit_count, 32) << "size " << sizes.back();
  }
  for (int wanted : {16, 24, 32, 48, 256}) {
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), wanted), sizes.end()) << wanted;
  }
}

TEST_F(ResourcesTest, VersionAndStringsNameTheProduct) {
  std::string version = ResourceBytes(RT_VERSION, MAKEINTRESOURCEW(1));
  ASSERT_GE(version.size(), sizeof(VS_FIXEDFILEINFO));
  // The fixed block follows the L"VS_VERSION_INFO" key; find it by signature.
  const DWORD signature = 0xFEEF04BD;
  std::size_t at = version.find(std::string(reinterpret_cast<const char*>(&signature), 4));
  ASSERT_NE(at, std::string::npos);
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, version.data() + at, sizeof fixed);
  EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(HIWORD(fixed.dwFileVersionMS), VARNEL_VERSION_MAJOR);
  EXPECT_EQ(LOWORD(fixed.dwFileVersionMS), VARNEL_VERSION_MINOR);

  const wchar_t* text = nullptr;
  int length = LoadStringW(module_, app::IDS_APP_NAME, reinterpret_cast<LPWSTR>(&text), 0);
  EXPECT_EQ(std::wstring(text ? text : L"", length > 0 ? length : 0), L"Varnel");
}

}  // namespace
