// The file operations' window-free rules: the file-drop block's bytes, the
// double-NUL list, the pending cut, the rows a delete removes, the path text
// of dropped items, and removing rows from the result table.
#include "ui/logic/file_drop.h"

#include <gtest/gtest.h>

#include <set>

#include "ui/logic/result_table.h"

namespace ui {
namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// The paths as a reader of the block finds them: from the offset in the
// header, up to the first empty one.
PathList ReadBlock(const std::vector<std::uint8_t>& b) {
  PathList paths;
  std::u16string current;
  for (std::size_t at = U32(b, 0); at + 1 < b.size(); at += 2) {
    const char16_t c = static_cast<char16_t>(b[at] | b[at + 1] << 8);
    if (c != 0) {
      current += c;
    } else if (current.empty()) {
      break;
    } else {
      paths.push_back(std::move(current));
      current.clear();
    }
  }
  return paths;
}

TEST(FileDrop, BlockHasTheHeaderThePathsAndTheExactSize) {
  const PathList cases[] = {
      {u"C:\\a.txt"},
      {u"C:\\work\\notes.txt", u"D:\\\u00e9t\u00e9\\\u65e5\u672c.doc", u"\\\\host\\share\\x"},
  };
  for (const PathList& paths : cases) {
    for (std::size_t slack : {std::size_t{0}, kDragBlockSlack}) {
      const auto block = FileDropBlock(paths, slack);
      std::size_t chars = 0;
      for (const auto& p : paths) chars += p.size() + 1;
      EXPECT_EQ(block.size(), 20 + 2 * chars + 2 + slack);
      EXPECT_EQ(U32(block, 0), 20u);                                  // pFiles
      EXPECT_EQ(U32(block, 4) | U32(block, 8) | U32(block, 12), 0u);  // pt, fNC
      EXPECT_EQ(U32(block, 16), 1u);                                  // fWide
      EXPECT_EQ(ReadBlock(block), paths);
      // The final NUL and the slack are zero.
      EXPECT_TRUE(std::all_of(block.end() - static_cast<long>(slack + 2), block.end(),
                              [](std::uint8_t v) { return v == 0; }));
    }
  }
}

TEST(FileDrop, DoubleNulListEndsEachPathAndTheList) {
  EXPECT_EQ(DoubleNulList({u"a", u"bc"}), std::u16string(u"a\0bc\0\0", 6));
  EXPECT_EQ(DoubleNulList({}), std::u16string(u"\0\0", 2));
}

TEST(FileDrop, CutIsDeletedOnceAndOnlyAfterACopyOrMoveOfItsOwnObject) {
  struct Case {
    const char* name;
    std::function<PathList(CCutTracker&, std::uint32_t cut)> paste;
    bool deletes;
  };
  const Case cases[] = {
      {"copy", [](CCutTracker& t, std::uint32_t n) { return t.TakePaste(n, kEffectCopy); }, true},
      {"move", [](CCutTracker& t, std::uint32_t n) { return t.TakePaste(n, kEffectMove); }, true},
      {"no effect", [](CCutTracker& t, std::uint32_t n) { return t.TakePaste(n, kEffectNone); },
       false},
      {"copied after the cut",
       [](CCutTracker& t, std::uint32_t n) {
         t.Drop();
         return t.TakePaste(n, kEffectCopy);
       },
       false},
      {"an older cut's object",
       [](CCutTracker& t, std::uint32_t n) {
         t.Cut({u"C:\\other"});
         return t.TakePaste(n, kEffectCopy);
       },
       false},
      {"pasted twice",
       [](CCutTracker& t, std::uint32_t n) {
         (void)t.TakePaste(n, kEffectCopy);
         return t.TakePaste(n, kEffectCopy);
       },
       false},
  };
  for (const Case& c : cases) {
    CCutTracker tracker;
    const std::uint32_t number = tracker.Cut({u"C:\\a", u"C:\\b"});
    const PathList deleted = c.paste(tracker, number);
    const PathList expected = c.deletes ? PathList{u"C:\\a", u"C:\\b"} : PathList{};
    EXPECT_EQ(deleted, expected) << c.name;
  }
}

TEST(FileDrop, DeleteRemovesOnlyRowsWhoseFilesAreGoneLastFirst) {
  const std::set<std::u16string> existing{u"b"};
  const auto exists = [&](const std::u16string& p) { return existing.count(p) > 0; };
  EXPECT_EQ(RowsGone({{1, u"a"}, {4, u"b"}, {7, u"c"}}, exists), (std::vector<std::size_t>{7, 1}));
  EXPECT_TRUE(RowsGone({{2, u"b"}}, exists).empty());
}

TEST(FileDrop, DroppedItemsGiveTheirFoldersJoined) {
  struct Case {
    std::vector<DroppedItem> items;
    std::u16string text;
  };
  const Case cases[] = {
      {{{u"C:\\src", true}}, u"C:\\src"},
      {{{u"C:\\src\\", true}}, u"C:\\src"},
      {{{u"C:\\", true}}, u"C:\\"},
      {{{u"C:\\src\\main.cpp", false}}, u"C:\\src"},
      {{{u"C:\\boot.ini", false}}, u"C:\\"},
      {{{u"\\\\host\\share\\f.txt", false}}, u"\\\\host\\share"},
      {{{u"C:\\a", true}, {u"D:\\b\\x.txt", false}, {u"C:\\A", true}, {u"D:\\b\\y.txt", false}},
       u"C:\\a;D:\\b"},
      {{}, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(DroppedPathText(c.items), c.text);
}

std::unique_ptr<FileResult> Record(const char16_t* name, bool folder) {
  auto r = std::make_unique<FileResult>();
  r->file_name = name;
  r->folder = u"C:\\w";
  r->is_folder = folder;
  return r;
}

std::vector<std::u16string> Names(const CResultTable& t) {
  std::vector<std::u16string> names;
  for (std::size_t row = 0; row < t.RowCount(); ++row) names.push_back(t.RowRecord(row).file_name);
  return names;
}

TEST(FileDrop, RemovingRowsKeepsTheOthersInOrderThroughFilters) {
  CResultTable table(ListKind::kFound, nullptr);
  for (auto [name, folder] : {std::pair{u"a.txt", false},
                              {u"d1", true},
                              {u"b.log", false},
                              {u"c.txt", false},
                              {u"d2", true}}) {
    table.Add(Record(name, folder));
  }
  ASSERT_EQ(Names(table),
            (std::vector<std::u16string>{u"d1", u"d2", u"a.txt", u"b.log", u"c.txt"}));
  table.RemoveRows({3, 0});
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"d2", u"a.txt", u"c.txt"}));
  EXPECT_EQ(table.RecordCount(), 3u);
  // The removed records do not come back when the rows are chosen again.
  ASSERT_TRUE(table.SetFilters({{kColumnName, u"*.txt"}}));
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"a.txt", u"c.txt"}));
  ASSERT_TRUE(table.SetFilters({}));
  EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"d2", u"a.txt", u"c.txt"}));
}

}  // namespace
}  // namespace ui
