// The choice of content handler by extension: the table lookup lower-cases,
// the skip list compares exactly, "*" is the fallback.
#include "engine/handler_factory.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/document_finders.h"

namespace {

enum class Handed { kNone, kPlainFinder, kIFilter, kPdf };

Handed Kind(CTextFinder* finder) {
  if (!finder) return Handed::kNone;
  if (dynamic_cast<CIFilterTextFinder*>(finder)) return Handed::kIFilter;
  if (dynamic_cast<CPDFTextFinder*>(finder)) return Handed::kPdf;
  return Handed::kPlainFinder;
}

TEST(HandlerFactoryTest, ExtensionChoosesTheHandler) {
  struct Case {
    const char* name;
    std::function<void(HandlerSettings&)> edit;
    std::u16string extension;
    HandlerKind kind;
    Handed handed;
  } cases[] = {
      {"table lookup lower-cases", nullptr, u"DOC", HandlerKind::kIFilter, Handed::kIFilter},
      {"pdf in any case", nullptr, u"Pdf", HandlerKind::kBuiltIn, Handed::kPdf},
      {"skip list compares exactly", nullptr, u"AVI", HandlerKind::kPlainText,
       Handed::kPlainFinder},
      {"skip list", nullptr, u"avi", HandlerKind::kIgnore, Handed::kNone},
      {"own entry", nullptr, u"Html", HandlerKind::kPlainText, Handed::kPlainFinder},
      {"star entry", nullptr, u"", HandlerKind::kPlainText, Handed::kPlainFinder},
      {"ignore list off", [](HandlerSettings& s) { s.ignore_files = false; }, u"exe",
       HandlerKind::kPlainText, Handed::kPlainFinder},
      {"no star entry", [](HandlerSettings& s) { s.handler_table.erase(u"*"); }, u"txt",
       HandlerKind::kIgnore, Handed::kNone},
      {"no star entry, own entry", [](HandlerSettings& s) { s.handler_table.erase(u"*"); }, u"HTM",
       HandlerKind::kPlainText, Handed::kPlainFinder},
      {"built-in for another extension",
       [](HandlerSettings& s) { s.handler_table[u"log"] = HandlerKind::kBuiltIn; }, u"log",
       HandlerKind::kBuiltIn, Handed::kNone},
      {"star set to ignore",
       [](HandlerSettings& s) { s.handler_table[u"*"] = HandlerKind::kIgnore; }, u"txt",
       HandlerKind::kIgnore, Handed::kNone},
  };
  platform::Event stop;
  for (const auto& c : cases) {
    HandlerSettings settings;
    if (c.edit) c.edit(settings);
    EXPECT_EQ(GetHandlerKind(settings, c.extension), c.kind) << c.name;
    CFileHandlerFactoryPro factory(&stop);
    factory.SetSettings(&settings);
    CTextFinder* finder = factory.CreateFinder(c.extension, false);
    EXPECT_EQ(Kind(finder), c.handed) << c.name;
    if (finder) {
      EXPECT_EQ(finder->stop_event, &stop) << c.name;
    }
  }
}

TEST(HandlerFactoryTest, HandlersAreCachedAndGetTheStopEventEachTime) {
  platform::Event stop;
  CFileHandlerFactoryPro factory(&stop);
  CTextFinder* first = factory.CreateFinder(u"txt", false);
  ASSERT_NE(first, nullptr);
  first->stop_event = nullptr;
  EXPECT_EQ(factory.CreateFinder(u"c", false), first);
  EXPECT_EQ(first->stop_event, &stop);

  // The PDF route matches plain text even in a regular-expression search.
  CTextFinder* pdf = factory.CreateFinder(u"pdf", false);
  ASSERT_NE(pdf, nullptr);
  EXPECT_EQ(factory.CreateFinder(u"PDF", true), pdf);

  CTextReplacer* replacer = factory.CreateReplacer(false);
  ASSERT_NE(replacer, nullptr);
  EXPECT_NE(static_cast<CTextFinder*>(replacer), first);
  EXPECT_EQ(factory.CreateReplacer(false), replacer);
  EXPECT_EQ(replacer->stop_event, &stop);
  EXPECT_TRUE(replacer->SupportsReplace());
}

}  // namespace
