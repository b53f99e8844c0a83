// Benchmark of the match preview under Wine: a real CMatchPreview in a
// window, rendering 100 and 10,000 matches of a find run and of a replace
// run (the time from the list to a painted view), and the "File" tab opened
// on a 5 MB file (read, decoded and painted). Prints the fastest and the
// middle of several rounds. Run by bench/preview_bench.sh.
// <windows.h> comes first.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "storage/app_settings.h"
#include "ui/preview_view.h"

namespace {

using Clock = std::chrono::steady_clock;

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Engine-like entries: a context line of about 140 characters with "...",
// one match in it.
MatchList MakeMatches(int count) {
  MatchList list;
  list.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::u16string text = u"    if (value_" + std::u16string(1, u'a' + i % 26) +
                          u" != nullptr) return Configure(value, options, \"needle\", flags);";
    while (text.size() < 140) text += u" more context of the line";
    text.resize(140);
    text += u"...";
    list.push_back({i * 3 + 1, text, {{50, 6}}, static_cast<std::int64_t>(i) * 200});
  }
  return list;
}

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s fastest %8.1f ms   middle %8.1f ms\n", what, ms.front(), ms[ms.size() / 2]);
}

std::vector<double> Rounds(int rounds, const std::function<void()>& prepare,
                           const std::function<void()>& run) {
  std::vector<double> ms;
  for (int r = 0; r < rounds; ++r) {
    prepare();
    const auto start = Clock::now();
    run();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  return ms;
}

std::u16string WriteBigFile() {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"varnel_preview_bench.txt";
  std::string line =
      "    result = Compute(alpha, beta, gamma); // a line of ordinary source text\r\n";
  std::string content;
  content.reserve(5000000 + line.size());
  while (content.size() + line.size() <= 5000000) content += line;
  content.resize(5000000, 'x');
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  return std::u16string(reinterpret_cast<const char16_t*>(path.c_str()), path.size());
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  CWindow frame;
  if (!CWindow::RegisterWindowClass(L"VarnelPreviewBench") ||
      !frame.Create(0, L"VarnelPreviewBench", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                    1000, 700, nullptr)) {
    return 1;
  }
  AppSettings settings;
  settings.max_number_matches = 100000;
  settings.limit_file_preview = 5;
  ui::CReportQueue queue;
  ui::CFindReporter reporter(ui::ReportSource::kPreview, queue, nullptr, nullptr);
  ui::CPreviewRunner runner(reporter);
  ui::CMatchPreview preview;
  if (!preview.Create(frame.Handle(), settings, runner)) return 2;
  preview.Place({0, 0, 980, 650}, {5, 30, 970, 614});
  Pump();

  const std::u16string big = WriteBigFile();
  FileResult record;
  record.folder = big.substr(0, big.rfind(u'\\'));
  record.file_name = big.substr(big.rfind(u'\\') + 1);
  const auto paint = [&] { UpdateWindow(preview.MatchView()); };
  const auto clear = [&] {
    preview.ShowMatches({big, false, true}, {});
    Pump();
  };

  for (bool replace : {false, true}) {
    FileFindParamsIn params;
    params.text = u"needle";
    params.replace = replace;
    params.replace_text = u"thread";
    // Sets the run kind and the file; the stored list is empty.
    preview.Request(record, params);
    for (int count : {100, 10000}) {
      const MatchList list = MakeMatches(count);
      char what[64];
      std::snprintf(what, sizeof what, "%s run, %d matches", replace ? "replace" : "find", count);
      Report(what, Rounds(5, clear, [&] {
               preview.ShowMatches({big, false, true}, list);
               paint();
             }));
    }
  }

  const MatchList many = MakeMatches(10000), few = MakeMatches(10);
  Report("next file after 10,000 matches (10 matches)",
         Rounds(
             3,
             [&] {
               preview.ShowMatches({big, false, true}, many);
               Pump();
             },
             [&] {
               preview.ShowMatches({big, false, true}, few);
               paint();
             }));
  Report("File tab, 5,000,000-byte ANSI file", Rounds(
                                                   5,
                                                   [&] {
                                                     preview.SelectTab(0);
                                                     preview.ShowMatches({big, false, true}, {});
                                                     Pump();
                                                   },
                                                   [&] {
                                                     preview.SelectTab(1);
                                                     UpdateWindow(preview.FileView());
                                                   }));
  DeleteFileW(reinterpret_cast<const wchar_t*>(big.c_str()));
  return 0;
}
