// varnel_inspect: reads what a user sees in a running Varnel.exe (windows,
// tabs, status bar, result lists, message boxes) for the end-to-end driver
// (tests/e2e/varnel_e2e.py) and the interface benchmark (bench/ui_bench.py).
// Commands, one per line on stdin, each answered by one JSON line on stdout:
//   state [MAX_ROWS]      everything below in one object (rows capped)
//   post MSG WPARAM LPARAM  PostMessage to the main window (decimal numbers)
//   click ID              posts BM_CLICK to the visible page's control ID
//                         (for a button a user cannot reach behind a modal box)
//   probe SECONDS [idle]  WM_NULL round trips every 20 ms; worst delay. With
//                         "idle" it stops once status part 2 stops reading
//                         "In progress..." (after having read it).
//   quit
// Run with a command as arguments it answers that one command and ends.
#include <windows.h>
// commctrl.h needs the types windows.h declares.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr UINT kReplyMs = 5000;  // a hung program must not hang the inspector
constexpr int kStatusBarId = 1015;
constexpr int kTextBuffer = 1024;  // characters per cross-process read
// Controls of the criteria dialogs the driver clicks into or reads.
constexpr int kControlIds[] = {1038, 1039, 1040, 1019, 1061, 1001,
                               1036, 1037, 1005, 1007, 2027, 2028};

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::string Json(const std::wstring& text) {
  std::string out = "\"";
  for (char c : Utf8(text)) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Json(const RECT& r) {
  char text[96];
  snprintf(text, sizeof text, "[%ld,%ld,%ld,%ld]", r.left, r.top, r.right, r.bottom);
  return text;
}

std::string Bool(bool value) { return value ? "true" : "false"; }

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

// WM_GETTEXT is marshalled between processes by the system.
std::wstring TextOf(HWND window) {
  std::vector<wchar_t> buffer(kTextBuffer);
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(),
                           reinterpret_cast<LPARAM>(buffer.data()), SMTO_NORMAL, kReplyMs, &copied))
    return {};
  return std::wstring(buffer.data(), copied);
}

RECT RectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// The common controls' messages below carry pointers that the system does not
// marshal: their structures and text buffers live in the target process.
class CRemoteBuffer {
 public:
  CRemoteBuffer(HWND window, size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_)
      base_ = static_cast<char*>(
          VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
  ~CRemoteBuffer() {
    if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  CRemoteBuffer(const CRemoteBuffer&) = delete;
  CRemoteBuffer& operator=(const CRemoteBuffer&) = delete;

  bool ok() const { return base_ != nullptr; }
  char* at(size_t offset) const { return base_ + offset; }
  bool Write(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(process_, base_ + offset, data, size, nullptr) != FALSE;
  }
  bool Read(size_t offset, void* out, size_t size) const {
    return ReadProcessMemory(process_, base_ + offset, out, size, nullptr) != FALSE;
  }
  std::wstring ReadText(size_t offset, size_t max_chars) const {
    std::vector<wchar_t> text(max_chars + 1, L'\0');
    if (!ReadProcessMemory(process_, base_ + offset, text.data(), max_chars * sizeof(wchar_t),
                           nullptr))
      return {};
    text[max_chars] = L'\0';
    return text.data();
  }

 private:
  HANDLE process_ = nullptr;
  char* base_ = nullptr;
};

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, kReplyMs, &result))
    return -1;
  return static_cast<LRESULT>(result);
}

// Text and structure share one remote block: the structure first, the text
// buffer after it.
constexpr size_t kTextOffset = 256;
constexpr size_t kRemoteSize = kTextOffset + kTextBuffer * sizeof(wchar_t);

std::vector<std::wstring> StatusTexts(HWND bar) {
  std::vector<std::wstring> texts;
  CRemoteBuffer remote(bar, kRemoteSize);
  if (!remote.ok()) return texts;
  for (int part = 0; part < 3; ++part) {
    LRESULT length = Send(bar, SB_GETTEXTLENGTHW, part, 0);
    if (length < 0 || LOWORD(length) >= kTextBuffer) {
      texts.emplace_back();
      continue;
    }
    Send(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(remote.at(kTextOffset)));
    texts.push_back(remote.ReadText(kTextOffset, LOWORD(length)));
  }
  return texts;
}

std::vector<std::wstring> TabCaptions(HWND tab) {
  std::vector<std::wstring> captions;
  CRemoteBuffer remote(tab, kRemoteSize);
  if (!remote.ok()) return captions;
  LRESULT count = Send(tab, TCM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<LPWSTR>(remote.at(kTextOffset));
    item.cchTextMax = kTextBuffer;
    remote.Write(kTextOffset, L"", sizeof(wchar_t));
    remote.Write(0, &item, sizeof item);
    Send(tab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.at(0)));
    captions.push_back(remote.ReadText(kTextOffset, kTextBuffer - 1));
  }
  return captions;
}

std::string TabJson(HWND tab) {
  if (!tab) return "null";
  std::string out = "{\"items\":[";
  std::vector<std::wstring> captions = TabCaptions(tab);
  for (size_t i = 0; i < captions.size(); ++i) out += (i ? "," : "") + Json(captions[i]);
  out += "],\"selected\":" + std::to_string(Send(tab, TCM_GETCURSEL, 0, 0));
  out += ",\"rect\":" + Json(RectOf(tab));
  // Item rectangles in screen coordinates, for clicks on a tab.
  out += ",\"item_rects\":[";
  CRemoteBuffer remote(tab, sizeof(RECT));
  for (size_t i = 0; i < captions.size() && remote.ok(); ++i) {
    RECT r{};
    Send(tab, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(remote.at(0)));
    remote.Read(0, &r, sizeof r);
    MapWindowPoints(tab, nullptr, reinterpret_cast<POINT*>(&r), 2);
    out += (i ? "," : "") + Json(r);
  }
  return out + "]}";
}

// The rows of a list view as its cells read; at most max_rows rows.
std::string RowsJson(HWND list, int max_rows) {
  LRESULT count = Send(list, LVM_GETITEMCOUNT, 0, 0);
  HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
  LRESULT columns = header ? Send(header, HDM_GETITEMCOUNT, 0, 0) : 0;
  std::string out = "\"row_count\":" + std::to_string(count) + ",\"columns\":[";
  CRemoteBuffer remote(list, kRemoteSize);
  for (LRESULT c = 0; c < columns && remote.ok(); ++c) {
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = reinterpret_cast<LPWSTR>(remote.at(kTextOffset));
    item.cchTextMax = kTextBuffer;
    remote.Write(kTextOffset, L"", sizeof(wchar_t));
    remote.Write(0, &item, sizeof item);
    Send(header, HDM_GETITEMW, c, reinterpret_cast<LPARAM>(remote.at(0)));
    out += (c ? "," : "") + Json(remote.ReadText(kTextOffset, kTextBuffer - 1));
  }
  out += "],\"rows\":[";
  for (LRESULT r = 0; r < std::min<LRESULT>(count, max_rows) && remote.ok(); ++r) {
    out += r ? ",[" : "[";
    for (LRESULT c = 0; c < columns; ++c) {
      LVITEMW item{};
      item.iSubItem = static_cast<int>(c);
      item.pszText = reinterpret_cast<LPWSTR>(remote.at(kTextOffset));
      item.cchTextMax = kTextBuffer;
      remote.Write(kTextOffset, L"", sizeof(wchar_t));
      remote.Write(0, &item, sizeof item);
      Send(list, LVM_GETITEMTEXTW, r, reinterpret_cast<LPARAM>(remote.at(0)));
      out += (c ? "," : "") + Json(remote.ReadText(kTextOffset, kTextBuffer - 1));
    }
    out += "]";
  }
  return out + "]";
}

HWND FindMainWindow() { return FindWindowW(L"VarnelWindowClass", nullptr); }

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> TopLevelOf(DWORD pid) {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{pid, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->pid) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The visible find page of the main window, or null.
HWND VisiblePage(HWND main) {
  for (HWND child : Children(main)) {
    if (ClassOf(child) == L"FindPage" && IsWindowVisible(child)) return child;
  }
  return nullptr;
}

std::string WindowJson(HWND window) {
  return "{\"hwnd\":" + std::to_string(reinterpret_cast<uintptr_t>(window)) +
         ",\"class\":" + Json(ClassOf(window)) + ",\"title\":" + Json(TextOf(window)) +
         ",\"visible\":" + Bool(IsWindowVisible(window)) +
         ",\"enabled\":" + Bool(IsWindowEnabled(window)) + ",\"rect\":" + Json(RectOf(window)) +
         "}";
}

// A dialog box of the program (a message box or a modal dialog): its caption,
// its static texts and its buttons.
std::string BoxJson(HWND box) {
  std::string statics, buttons;
  for (HWND child : Children(box)) {
    if (!IsWindowVisible(child)) continue;
    std::wstring cls = ClassOf(child);
    if (cls == L"Static") {
      std::wstring text = TextOf(child);
      if (!text.empty()) statics += (statics.empty() ? "" : ",") + Json(text);
    } else if (cls == L"Button") {
      buttons += (buttons.empty() ? "" : ",") + std::string("{\"text\":") + Json(TextOf(child)) +
                 ",\"id\":" + std::to_string(GetDlgCtrlID(child)) +
                 ",\"rect\":" + Json(RectOf(child)) + "}";
    }
  }
  return "{\"caption\":" + Json(TextOf(box)) + ",\"rect\":" + Json(RectOf(box)) + ",\"texts\":[" +
         statics + "],\"buttons\":[" + buttons + "]}";
}

std::string PageJson(HWND page, int max_rows) {
  std::string out = "{\"rect\":" + Json(RectOf(page));
  HWND results_tab = nullptr, list = nullptr;
  std::vector<HWND> children = Children(page);
  for (HWND child : children) {
    std::wstring cls = ClassOf(child);
    if (cls == L"SysTabControl32" && GetParent(child) == page && !results_tab) {
      std::vector<std::wstring> captions = TabCaptions(child);
      if (!captions.empty() && captions[0].rfind(L"Found", 0) == 0) results_tab = child;
    } else if (cls == L"SysListView32" && IsWindowVisible(child) && GetParent(child) == page) {
      list = child;
    }
  }
  out += ",\"results\":" + TabJson(results_tab);
  out += ",\"list\":{" +
         (list ? RowsJson(list, max_rows) + ",\"rect\":" + Json(RectOf(list))
               : std::string("\"row_count\":-1")) +
         "}";
  // The match preview's text (its rich edit answers WM_GETTEXT).
  for (HWND child : children) {
    if (ClassOf(child) == L"RichEdit20W" && IsWindowVisible(child)) {
      out += ",\"preview\":" + Json(TextOf(child));
      break;
    }
  }
  // Ids repeat across dialogs (the arrow button); the visible one counts.
  out += ",\"controls\":{";
  bool first = true;
  for (int id : kControlIds) {
    HWND found = nullptr;
    for (HWND child : children) {
      if (GetDlgCtrlID(child) != id) continue;
      if (!found || IsWindowVisible(child)) found = child;
    }
    if (!found) continue;
    out += (first ? "\"" : ",\"") + std::to_string(id) + "\":" + WindowJson(found);
    std::string checked = std::to_string(Send(found, BM_GETCHECK, 0, 0));
    out.insert(out.size() - 1, ",\"check\":" + checked);
    first = false;
  }
  return out + "}}";
}

std::string State(int max_rows) {
  HWND main = FindMainWindow();
  if (!main) return "{\"main\":null}";
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  std::string out = "{\"pid\":" + std::to_string(pid) + ",\"main\":" + WindowJson(main);
  out.insert(out.size() - 1, ",\"iconic\":" + Bool(IsIconic(main)) +
                                 ",\"foreground\":" + Bool(GetForegroundWindow() == main));
  HWND bar = GetDlgItem(main, kStatusBarId);
  out += ",\"status\":[";
  if (bar) {
    std::vector<std::wstring> texts = StatusTexts(bar);
    for (size_t i = 0; i < texts.size(); ++i) out += (i ? "," : "") + Json(texts[i]);
  }
  out += "]";
  HWND tabs = nullptr;
  for (HWND child : Children(main)) {
    if (ClassOf(child) == L"SysTabControl32" && GetParent(child) == main) tabs = child;
  }
  out += ",\"tabs\":" + TabJson(tabs);
  HWND page = VisiblePage(main);
  out += ",\"page\":" + (page ? PageJson(page, max_rows) : std::string("null"));
  std::string windows, boxes;
  for (HWND window : TopLevelOf(pid)) {
    windows += (windows.empty() ? "" : ",") + WindowJson(window);
    if (IsWindowVisible(window) && ClassOf(window) == L"#32770")
      boxes += (boxes.empty() ? "" : ",") + BoxJson(window);
  }
  return out + ",\"windows\":[" + windows + "],\"boxes\":[" + boxes + "]}";
}

std::string Post(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND main = FindMainWindow();
  bool ok = main && PostMessageW(main, message, wparam, lparam);
  return "{\"posted\":" + Bool(ok) + "}";
}

std::string Click(int id) {
  HWND main = FindMainWindow();
  HWND page = main ? VisiblePage(main) : nullptr;
  if (!page) return "{\"posted\":false}";
  for (HWND child : Children(page)) {
    if (GetDlgCtrlID(child) == id && IsWindowVisible(child))
      return "{\"posted\":" + Bool(PostMessageW(child, BM_CLICK, 0, 0)) + "}";
  }
  return "{\"posted\":false}";
}

// The worst delay of the main window's thread in answering a sent message,
// sampled every 20 ms: what a user feels as a frozen window.
std::string Probe(double seconds, bool until_idle) {
  HWND main = FindMainWindow();
  if (!main) return "{\"error\":\"no main window\"}";
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  auto elapsed_ms = [&](const LARGE_INTEGER& from) {
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
  };
  double worst = 0;
  int samples = 0, timeouts = 0;
  bool seen_running = false;
  HWND bar = GetDlgItem(main, kStatusBarId);
  while (elapsed_ms(start) < seconds * 1000) {
    LARGE_INTEGER sent;
    QueryPerformanceCounter(&sent);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) ++timeouts;
    worst = std::max(worst, elapsed_ms(sent));
    ++samples;
    if (until_idle && bar) {
      std::vector<std::wstring> texts = StatusTexts(bar);
      bool running = texts.size() == 3 && texts[2] == L"In progress...";
      if (running) seen_running = true;
      if (seen_running && !running) break;
    }
    Sleep(20);
  }
  char text[160];
  snprintf(text, sizeof text, "{\"worst_ms\":%.1f,\"samples\":%d,\"timeouts\":%d,\"seconds\":%.2f}",
           worst, samples, timeouts, elapsed_ms(start) / 1000);
  return text;
}

std::string Answer(const std::vector<std::string>& words) {
  if (words.empty()) return "{\"error\":\"empty command\"}";
  const std::string& verb = words[0];
  if (verb == "state") return State(words.size() > 1 ? std::stoi(words[1]) : 200);
  if (verb == "post" && words.size() == 4)
    return Post(static_cast<UINT>(std::stoul(words[1])), std::stoull(words[2]),
                std::stoll(words[3]));
  if (verb == "click" && words.size() == 2) return Click(std::stoi(words[1]));
  if (verb == "probe" && words.size() >= 2)
    return Probe(std::stod(words[1]), words.size() > 2 && words[2] == "idle");
  return "{\"error\":\"unknown command\"}";
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\r')) ++i;
    size_t end = line.find_first_of(" \r", i);
    if (end == std::string::npos) end = line.size();
    if (end > i) words.push_back(line.substr(i, end - i));
    i = end;
  }
  return words;
}

// Answers go out as UTF-8 bytes, untouched by any console code page.
void WriteLine(const std::string& text) {
  std::string line = text + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
            nullptr);
}

bool ReadLine(std::string& line) {
  line.clear();
  char c;
  DWORD got = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, nullptr) && got == 1) {
    if (c == '\n') return true;
    line += c;
  }
  return !line.empty();
}

}  // namespace

int main(int argc, char** argv) {
  // Rectangles in the screen's own pixels, whatever scale the program runs at,
  // since the driver clicks at them through the X server.
  SetProcessDPIAware();
  if (argc > 1) {
    std::vector<std::string> words(argv + 1, argv + argc);
    WriteLine(Answer(words));
    return 0;
  }
  std::string line;
  while (ReadLine(line)) {
    std::vector<std::string> words = Split(line);
    if (!words.empty() && words[0] == "quit") break;
    try {
      WriteLine(Answer(words));
    } catch (const std::exception&) {  // std::stoi on a bad number
      WriteLine("{\"error\":\"bad arguments\"}");
    }
  }
  return 0;
}
