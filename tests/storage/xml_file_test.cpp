// Tests of storage/xml_file.cpp: number forms, bounded reads, the CR escape
// and the safe save with a failure injected at every step.
#include "storage/xml_file.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/fs.h"
#include "platform/text.h"
#include "test_tree.h"

namespace {

using storage::IFileOps;
using testing_support::TempTree;

constexpr std::uint64_t kAllBits = std::numeric_limits<std::uint64_t>::max();

TEST(LeadingNumberTest, ReadsTheLeadingDecimalNumberLikeTheRuntime) {
  struct Case {
    const char* text;
    std::int32_t int32;
    std::uint64_t uint64;
  };
  const Case cases[] = {
      {nullptr, 0, 0},
      {"", 0, 0},
      {"abc", 0, 0},
      {"12abc", 12, 12},
      {" \t\r\n42", 42, 42},
      {"+5", 5, 5},
      {"-7", -7, std::uint64_t{0} - 7},
      {"- 7", 0, 0},
      {"0x10", 0, 0},
      {"1.9", 1, 1},
      {"2147483648", std::numeric_limits<std::int32_t>::max(), 2147483648u},
      {"-2147483649", std::numeric_limits<std::int32_t>::min(), std::uint64_t{0} - 2147483649u},
      {"4294967296", std::numeric_limits<std::int32_t>::max(), 4294967296u},
      {"-1", -1, kAllBits},
      {"18446744073709551615", std::numeric_limits<std::int32_t>::max(), kAllBits},
      {"99999999999999999999999", std::numeric_limits<std::int32_t>::max(), kAllBits},
      {"-9223372036854775808", std::numeric_limits<std::int32_t>::min(), std::uint64_t{1} << 63},
      {"-99999999999999999999", std::numeric_limits<std::int32_t>::min(), std::uint64_t{1} << 63},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    EXPECT_EQ(storage::LeadingInt32(c.text), c.int32);
    EXPECT_EQ(storage::LeadingUInt64(c.text), c.uint64);
  }
}

TEST(LeadingNumberTest, ReadsVersionNumbersWithAFraction) {
  const std::pair<const char*, double> cases[] = {
      {nullptr, 0},   {"", 0},    {"abc", 0}, {"1", 1},   {"1.1", 1.1},
      {" 0.5x", 0.5}, {"-2", -2}, {"--1", 0}, {"2e5", 2}, {"0.9999999", 0.9999999},
  };
  for (const auto& [text, value] : cases) {
    SCOPED_TRACE(text ? text : "(null)");
    EXPECT_DOUBLE_EQ(storage::LeadingNumber(text), value);
  }
}

TEST(PrintXmlTest, ValuesKeepCarriageReturnsControlsAndMarkup) {
  const std::string value = "a\r\nb\rc\nd\te\x01<&>\"'\xC3\xA9\xF0\x9F\x98\x80 ";
  tinyxml2::XMLDocument doc;
  tinyxml2::XMLElement* root = storage::NewRoot(doc, "r", "1");
  root->SetAttribute("a", value.c_str());
  root->InsertNewChildElement("t")->SetText(value.c_str());
  std::string printed = storage::PrintXml(doc);
  EXPECT_EQ(printed.find('\r'), std::string::npos);
  EXPECT_EQ(printed.rfind("<?xml", 0), 0u) << printed;

  tinyxml2::XMLDocument back;
  ASSERT_TRUE(storage::ParseXml(printed, back));
  const tinyxml2::XMLElement* r = back.FirstChildElement("r");
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r->Attribute("version"), "1");
  EXPECT_EQ(std::string(r->Attribute("a")), value);
  EXPECT_EQ(std::string(r->FirstChildElement("t")->GetText()), value);
}

TEST(ParseXmlTest, RefusesBrokenAndHostileInput) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  const std::string cases[] = {
      "",        "   ", "<settings><window_pos",
      "<a></b>", deep,  std::string("\xFF\xFE<\0a\0/\0>\0", 10),  // UTF-16
  };
  for (const std::string& bytes : cases) {
    tinyxml2::XMLDocument doc;
    EXPECT_FALSE(storage::ParseXml(bytes, doc)) << bytes.substr(0, 40);
  }
  tinyxml2::XMLDocument with_mark;
  EXPECT_TRUE(storage::ParseXml("\xEF\xBB\xBF<r/>", with_mark));
  EXPECT_NE(with_mark.FirstChildElement("r"), nullptr);
}

TEST(ReadFileBoundedTest, RefusesMissingAndOversizedFiles) {
  TempTree tree;
  std::u16string path = tree.Write(u"f.xml", "0123456789");
  std::string bytes;
  EXPECT_TRUE(storage::ReadFileBounded(path, 10, bytes));
  EXPECT_EQ(bytes, "0123456789");
  EXPECT_FALSE(storage::ReadFileBounded(path, 9, bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(storage::ReadFileBounded(tree.Path(u"missing.xml"), 100, bytes));
  EXPECT_TRUE(storage::ReadFileBounded(tree.Write(u"empty.xml", ""), 100, bytes));
  EXPECT_TRUE(bytes.empty());
}

// Runs the real operations, records each call, and fails the one named.
class CFaultyFileOps : public IFileOps {
 public:
  std::string fail_at;
  std::uint32_t replace_error = 0;
  bool replace_loses_target = false;  // ReplaceFileW's 1176 without a backup
  std::string log;

  bool CreateTemp(std::u16string_view folder, std::u16string& path) override {
    log += "create ";
    return fail_at != "create" && real_.CreateTemp(folder, path);
  }
  bool WriteAndFlush(std::u16string_view path, std::string_view bytes) override {
    log += "write ";
    if (fail_at == "write") {
      // A disk that fills up half way.
      (void)real_.WriteAndFlush(path, bytes.substr(0, bytes.size() / 2));
      return false;
    }
    return real_.WriteAndFlush(path, bytes);
  }
  bool Exists(std::u16string_view path) override {
    log += "exists ";
    return real_.Exists(path);
  }
  std::uint32_t Replace(std::u16string_view target, std::u16string_view replacement) override {
    log += "replace ";
    if (fail_at != "replace") return real_.Replace(target, replacement);
    if (replace_loses_target) (void)real_.Delete(target);
    return replace_error;
  }
  bool Move(std::u16string_view from, std::u16string_view to) override {
    log += "move ";
    return fail_at != "move" && real_.Move(from, to);
  }
  bool Delete(std::u16string_view path) override {
    log += "delete ";
    return real_.Delete(path);
  }

 private:
  IFileOps& real_ = storage::SystemFileOps();
};

// The names of the files in a folder, sorted by the listing's order.
std::string ListFolder(const std::u16string& folder) {
  platform::FolderListing listing;
  std::string names;
  if (!listing.Open(folder)) return "<error>";
  platform::FolderEntry entry;
  std::vector<std::string> found;
  while (listing.Next(entry))
    if (entry.name != u"." && entry.name != u"..") found.push_back(platform::ToUtf8(entry.name));
  std::sort(found.begin(), found.end());
  for (const auto& name : found) names += name + " ";
  return names;
}

TEST(WriteFileSafelyTest, AFailureAtEveryStepKeepsTheOldFile) {
  struct Case {
    const char* name;
    bool target_exists;
    const char* fail_at;
    std::uint32_t replace_error;
    bool replace_loses_target;
    bool result;
    const char* content;  // of the target afterwards
    const char* files;    // in the folder afterwards
    const char* log;
  };
  const Case cases[] = {
      {"replace", true, "", 0, false, true, "new", "s.xml ", "create write exists replace "},
      {"first save", false, "", 0, false, true, "new", "s.xml ", "create write exists move "},
      {"no temp name", true, "create", 0, false, false, "old", "s.xml ", "create "},
      {"disk full", true, "write", 0, false, false, "old", "s.xml ", "create write delete "},
      {"target locked", true, "replace", 1175, false, false, "old", "s.xml ",
       "create write exists replace exists delete "},
      {"read-only", true, "replace", 5, false, false, "old", "s.xml ",
       "create write exists replace exists delete "},
      {"move fails", false, "move", 0, false, false, "<missing>", "",
       "create write exists move delete "},
      // The old file is gone and the temporary file holds the new one: it is
      // moved into place, or kept when even that fails.
      {"target lost", true, "replace", 1176, true, true, "new", "s.xml ",
       "create write exists replace exists move "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempTree tree;
    std::u16string target = tree.Path(u"s.xml");
    if (c.target_exists) tree.Write(u"s.xml", "old");
    CFaultyFileOps ops;
    ops.fail_at = c.fail_at;
    ops.replace_error = c.replace_error;
    ops.replace_loses_target = c.replace_loses_target;
    EXPECT_EQ(storage::WriteFileSafely(target, "new", ops), c.result);
    EXPECT_EQ(testing_support::ReadBytes(target), c.content);
    EXPECT_EQ(ListFolder(tree.root()), c.files);
    EXPECT_EQ(ops.log, c.log);
  }
}

TEST(WriteFileSafelyTest, KeepsTheOnlyCopyWhenTheOldFileIsLostAndTheMoveFails) {
  TempTree tree;
  std::u16string target = tree.Write(u"s.xml", "old");
  // Move fails too: nothing may be deleted.
  struct CAlsoFailMove : CFaultyFileOps {
    bool Move(std::u16string_view, std::u16string_view) override { return false; }
  } failing;
  failing.fail_at = "replace";
  failing.replace_error = 1176;
  failing.replace_loses_target = true;
  EXPECT_FALSE(storage::WriteFileSafely(target, "new", failing));
  std::string files = ListFolder(tree.root());
  // One file left: the temporary one (its hex digits vary in number).
  ASSERT_EQ(files.find(' '), files.size() - 1) << files;
  ASSERT_EQ(files.rfind("vnx", 0), 0u) << files;
  ASSERT_EQ(files.substr(files.size() - 5), ".tmp ") << files;
  EXPECT_EQ(tree.Read(platform::FromUtf8(files.substr(0, files.size() - 1))), "new");
}

TEST(WriteFileSafelyTest, ARealReadOnlyTargetIsLeftAlone) {
  TempTree tree;
  std::u16string target = tree.Write(u"s.xml", "old");
  ASSERT_TRUE(platform::SetFileAttributes(target, platform::attr::read_only));
  EXPECT_FALSE(storage::WriteFileSafely(target, "new"));
  EXPECT_EQ(tree.Read(u"s.xml"), "old");
  EXPECT_EQ(ListFolder(tree.root()), "s.xml ");
  ASSERT_TRUE(platform::SetFileAttributes(target, platform::attr::normal));
  EXPECT_TRUE(storage::WriteFileSafely(target, "new"));
  EXPECT_EQ(tree.Read(u"s.xml"), "new");
}

TEST(WriteFileSafelyTest, RefusesAPathWithoutFolderOrName) {
  CFaultyFileOps ops;
  EXPECT_FALSE(storage::WriteFileSafely(u"settings.xml", "x", ops));
  EXPECT_FALSE(storage::WriteFileSafely(u"", "x", ops));
  EXPECT_EQ(ops.log, "");
}

}  // namespace
