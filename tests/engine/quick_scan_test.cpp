// The find-mode shortcut must decide exactly as the full content pass does:
// a differential sweep over generated files with matches, CR LF and NUL
// characters placed around the 1024-byte block boundaries.
#include "engine/quick_scan.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/text_finder.h"
#include "test_tree.h"

namespace {

// The same finder, but not of the exact plain type: the content pass then
// never takes the shortcut.
class CFullPassFinder : public CTextFinder {};

QuickScanResult FullPass(const std::u16string& path, const std::u16string& pattern,
                         bool case_sensitive, bool null_check) {
  CFullPassFinder finder;
  platform::Event stop;
  finder.stop_event = &stop;
  std::u16string text = case_sensitive ? pattern : platform::Lowered(pattern);
  if (ContentPass(finder, text, nullptr, path, false, case_sensitive, false, 0, null_check))
    return QuickScanResult::kFound;
  return finder.result_kind == ResultKind::kSkipped ? QuickScanResult::kSkippedNul
                                                    : QuickScanResult::kNotFound;
}

TEST(QuickScanTest, AgreesWithTheFullPass) {
  testing_support::TempTree tree;
  std::mt19937 random(12345);
  const char alphabet[] = {'a', 'b', 'A', 'B', 'x', '\r', '\n', '\0', '\r', '\n'};
  const std::u16string patterns[] = {u"ab", u"aBa", u"b\r\nA", u"xx", u"B", u"xaxbxa"};
  platform::Event stop;
  int decided = 0, unsure = 0;
  for (int round = 0; round < 600; ++round) {
    std::size_t size = 900 + random() % 2400;
    std::string bytes(size, 'x');
    // Interesting bytes gather around the block boundaries and around the
    // matches, where the pieces and the NUL rule interact.
    auto near = [&](std::size_t at) { return (at + size + random() % 13 - 6) % size; };
    std::vector<std::size_t> anchors = {1022, 1024, 2046, 2048};
    for (int k = 0, n = 1 + random() % 3; k < n; ++k) {
      std::size_t at = random() % 2 ? random() % size : near(anchors[random() % anchors.size()]);
      bytes.replace(at, std::min<std::size_t>(2, size - at), "ab", 0,
                    std::min<std::size_t>(2, size - at));
      anchors.push_back(at);
    }
    for (int k = 0, n = random() % 8; k < n; ++k) {
      std::size_t at = near(anchors[random() % anchors.size()]);
      bytes[at] = alphabet[random() % sizeof alphabet];
      if (at + 1 < size && random() % 2) bytes[at + 1] = alphabet[random() % sizeof alphabet];
    }
    std::u16string path = tree.Write(u"f.txt", bytes);
    for (const auto& pattern : patterns) {
      for (bool case_sensitive : {true, false}) {
        for (bool null_check : {true, false}) {
          std::u16string text = case_sensitive ? pattern : platform::Lowered(pattern);
          QuickScanResult quick = QuickScanFile(path, text, case_sensitive, null_check, stop);
          if (quick == QuickScanResult::kUnsure) {
            ++unsure;
            continue;
          }
          ++decided;
          ASSERT_EQ(static_cast<int>(quick),
                    static_cast<int>(FullPass(path, pattern, case_sensitive, null_check)))
              << "round " << round << " pattern " << platform::ToUtf8(pattern) << " case "
              << case_sensitive << " nul " << null_check;
        }
      }
    }
  }
  EXPECT_GT(decided, 20 * unsure) << "the shortcut should decide almost every file";
}

TEST(QuickScanTest, LeavesMarkedFilesAndNonAsciiPatternsToTheFullPass) {
  testing_support::TempTree tree;
  platform::Event stop;
  std::u16string utf8 = tree.Write(u"m.txt", "\xEF\xBB\xBFneedle");
  EXPECT_EQ(QuickScanFile(utf8, u"needle", true, true, stop), QuickScanResult::kUnsure);
  EXPECT_FALSE(QuickScanApplies(u"caf\u00e9"));
  EXPECT_FALSE(QuickScanApplies(u""));
  EXPECT_TRUE(QuickScanApplies(u"PM_RESUME"));
  std::u16string plain = tree.Write(u"p.txt", "a needle");
  stop.Set();
  EXPECT_EQ(QuickScanFile(plain, u"needle", true, true, stop), QuickScanResult::kCanceled);
}

}  // namespace
