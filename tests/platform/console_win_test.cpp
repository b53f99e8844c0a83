// Win32-only: arguments outside the ANSI code page reach varnel-cli intact
// (CommandLineToArgvW, not argv), redirected output is UTF-8 bytes, and
// redirected input is read line by line whatever its line ends.
#include <gtest/gtest.h>

#include <string>

#include "platform/fs.h"
#include "platform/text.h"
#include "platform/win/wide.h"  // <windows.h> without the macros that rename platform calls
#include "test_tree.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempTree;

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

HANDLE OpenInheritable(const std::u16string& path, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(W(path), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, &inherit,
                     write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs the child with the given argument text and input; returns its exit
// code, with its standard output and error in `out` and `err`.
DWORD RunChild(const std::u16string& arguments, const std::string& input, std::string& out,
               std::string& err) {
  TempTree tree;
  std::u16string in_path = tree.Write(u"in.txt", input);
  HANDLE in = OpenInheritable(in_path, false);
  HANDLE out_file = OpenInheritable(tree.Path(u"out.txt"), true);
  HANDLE err_file = OpenInheritable(tree.Path(u"err.txt"), true);
  std::u16string exe = platform::ModuleFolder() + u"\\console_win_test_child.exe";
  std::u16string command_line = u"\"" + exe + u"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out_file;
  startup.hStdError = err_file;
  PROCESS_INFORMATION info{};
  DWORD code = 999;
  if (CreateProcessW(W(exe), const_cast<wchar_t*>(W(command_line)), nullptr, nullptr, TRUE,
                     CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
    WaitForSingleObject(info.hProcess, INFINITE);
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  } else {
    ADD_FAILURE() << "CreateProcessW failed, error " << GetLastError();
  }
  CloseHandle(in);
  CloseHandle(out_file);
  CloseHandle(err_file);
  out = ReadBytes(tree.Path(u"out.txt"));
  err = ReadBytes(tree.Path(u"err.txt"));
  return code;
}

TEST(ConsoleWinTest, UnicodeArgumentsAndRedirectedLinesRoundTrip) {
  struct Case {
    const char* name;
    std::u16string arguments;
    std::string input;
    std::string expected;
  } cases[] = {
      {"arguments outside the ANSI code page",
       u"\"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105\" \u4e2d\u6587 \U0001F600 "
       u"\"a\\\"b\" \"\"",
       "",
       "arg:Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 g\xC4\x99\xC5\x9Bl\xC4\x85\n"
       "arg:\xE4\xB8\xAD\xE6\x96\x87\narg:\xF0\x9F\x98\x80\narg:a\"b\narg:\ntty:0\n"},
      {"line ends CR LF, LF, an empty line and an unterminated last line", u"",
       "first\r\nsecond\n\nlast", "tty:0\nline:first\nline:second\nline:\nline:last\n"},
      {"UTF-8 input passes unchanged", u"", "\xC3\xBC\xE2\x82\xAC\n",
       "tty:0\nline:\xC3\xBC\xE2\x82\xAC\n"},
      {"a line longer than one read", u"", std::string(10000, 'x') + "\n",
       "tty:0\nline:" + std::string(10000, 'x') + "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string out, err;
    EXPECT_EQ(RunChild(c.arguments, c.input, out, err), 0u);
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(err, "done\n");
  }
}

}  // namespace
