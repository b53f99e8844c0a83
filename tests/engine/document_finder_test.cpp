// Document search: the PDF route with a fake converter (both builds) and with
// the real converter on a generated PDF (where one is installed), the
// document-filter route without filters, and the temporary text files.
#include <gtest/gtest.h>

#include <string>

#include "engine/document_finders.h"
#include "engine/finder.h"
#include "engine/handler_factory.h"
#include "platform/docfilter.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "recording_listener.h"
#include "test_tree.h"

namespace {

using engine_test::RecordingListener;
using engine_test::RunToEnd;
using testing_support::TempTree;

std::u16string FakeConverter() {
  return platform::ModuleFolder() + platform::kPathSeparator + u"fake_pdftotext" +
         platform::FromUtf8(VARNEL_EXE_SUFFIX);
}

// A two-page PDF whose text uses the standard Latin encoding, so that
// accented letters come out of the converter as themselves.
std::string MakePdf(const std::vector<std::string>& latin1_pages) {
  std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>"};
  std::string kids;
  const std::size_t font = 3 + 2 * latin1_pages.size();
  for (std::size_t i = 0; i < latin1_pages.size(); ++i) kids += std::to_string(3 + 2 * i) + " 0 R ";
  objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " +
                    std::to_string(latin1_pages.size()) + " >>");
  for (std::size_t i = 0; i < latin1_pages.size(); ++i) {
    objects.push_back(
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 " +
        std::to_string(font) + " 0 R >> >> /Contents " + std::to_string(4 + 2 * i) + " 0 R >>");
    std::string stream = "BT /F1 18 Tf 72 700 Td (" + latin1_pages[i] + ") Tj ET";
    objects.push_back("<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream +
                      "\nendstream");
  }
  objects.push_back(
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
  std::string pdf = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  std::size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (std::size_t off : offsets) {
    char line[32];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
    pdf += line;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDocumentTempFolder(temp_.Path(u"converted"));
    SetPdfConverterPath(FakeConverter());
  }
  void TearDown() override {
    SetPdfConverterPath(u"");
    SetDocumentTempFolder(u"");
  }

  FileFindParamsIn Params(std::u16string text) {
    FileFindParamsIn p;
    p.path = tree_.root();
    p.file_name = u"*.*";
    p.text = std::move(text);
    return p;
  }

  // Names left in the temporary folder.
  std::vector<std::u16string> TempFiles() {
    std::vector<std::u16string> names;
    platform::FolderListing listing;
    if (!listing.Open(temp_.Path(u"converted"))) return names;
    platform::FolderEntry e;
    while (listing.Next(e))
      if (!e.IsFolder()) names.push_back(e.name);
    return names;
  }

  TempTree tree_;
  TempTree temp_;
};

TEST_F(DocumentTest, PdfRouteOutcomes) {
  struct Case {
    const char* instruction;
    const char16_t* text;
    ResultKind kind;
    std::int32_t reason;
    bool reported;
  } cases[] = {
      {"write:Caf\xC3\xA9 first page|Second page", u"CAF\u00c9", ResultKind::kFound, 0, true},
      {"write:nothing to see", u"needle", ResultKind::kFound, 0, false},
      {"delete", u"needle", ResultKind::kError, kReasonConvert, true},
      {"fail", u"needle", ResultKind::kError, kReasonConvert, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.instruction);
    TempTree tree;
    tree.Write(u"doc.pdf", c.instruction);
    RecordingListener listener(tree.root());
    {
      CFinder finder(&listener);
      FileFindParamsIn p = Params(c.text);
      p.path = tree.root();
      RunToEnd(finder, p, false);
    }
    ASSERT_EQ(listener.results.count("doc.pdf"), c.reported ? 1u : 0u);
    if (c.reported) {
      EXPECT_EQ(listener.results["doc.pdf"]->kind, c.kind);
      EXPECT_EQ(listener.results["doc.pdf"]->reason, c.reason);
    }
    EXPECT_TRUE(TempFiles().empty()) << "the finder's handlers delete their text files";
  }
}

// The converter gets the PDF's name as one argument whatever it holds: a
// name with quotes and blanks once handed it extra arguments. The fake
// converter writes back what it was given; a name that split or lost
// characters would not be found, or not found whole.
TEST_F(DocumentTest, ConverterGetsEachNameAsOneArgument) {
  const std::u16string names[] = {
      u"x\" \"victim.txt\" \"y.pdf", u"two  blanks.pdf", u"-enc.pdf",
      u"back\\\"slash.pdf",          u"line\nend.pdf",   u"trailing \\.pdf",
  };
  const std::size_t argument_count = 2 + platform::PdfConverterEncodingArguments().size();
  int tried = 0;
  for (const auto& name : names) {
    SCOPED_TRACE(platform::ToUtf8(name));
    TempTree tree;
    std::u16string pdf = tree.Path(name);
    platform::File file;
    // Windows names cannot hold quotes, line ends or backslashes.
    if (!file.Open(pdf, platform::File::Mode::kWriteNew)) continue;
    ASSERT_TRUE(file.Write("args", 4) && file.Close());
    ++tried;
    for (const std::u16string& text :
         {u"count:" + platform::FromUtf8(std::to_string(argument_count)),
          u"\r\n" + pdf + u"\r\n"}) {
      RecordingListener listener(tree.root());
      CFinder finder(&listener);
      FileFindParamsIn p = Params(text);
      p.path = tree.root();
      p.case_sensitive = true;
      RunToEnd(finder, p, false);
      EXPECT_EQ(listener.Found().size(), 1u) << platform::ToUtf8(text);
    }
  }
  EXPECT_GE(tried, 2);
}

TEST_F(DocumentTest, SingleFileRunReportsTheConvertedBigEndianText) {
  std::u16string pdf = tree_.Write(u"doc.pdf", "write:alpha needle|beta|needle gamma");
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  FileFindParamsIn p = Params(u"needle");
  p.path = pdf;
  p.single_file = true;
  RunToEnd(finder, p, false);
  ASSERT_TRUE(listener.matches);
  ASSERT_EQ(listener.matches->size(), 2u);
  EXPECT_EQ((*listener.matches)[0].line, 1);
  EXPECT_EQ((*listener.matches)[1].line, 3) << "converted lines end in CR LF";
  // The context reaches back over the line ends, shown as blanks.
  const MatchEntry& second = (*listener.matches)[1];
  EXPECT_EQ(second.text, u"alpha needle  beta  needle gamma...");
  ASSERT_EQ(second.highlights.size(), 1u);
  EXPECT_EQ(second.text.substr(second.highlights[0].start, second.highlights[0].length), u"needle");
  EXPECT_TRUE(finder.params().converted_text);
  EXPECT_FALSE(finder.params().converted_little_endian);
  std::u16string name =
      listener.matches_path.substr(listener.matches_path.rfind(platform::kPathSeparator) + 1);
  EXPECT_TRUE(name.starts_with(u"VN_")) << platform::ToUtf8(name);
  EXPECT_TRUE(platform::IsExistingFile(listener.matches_path))
      << "the preview reads it after the run";
}

TEST_F(DocumentTest, RegularExpressionSearchInPdfMatchesThePatternAsText) {
  tree_.Write(u"plain.pdf", "write:abc");
  tree_.Write(u"literal.pdf", "write:a.c");
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  FileFindParamsIn p = Params(u"a.c");
  p.reg_exp = true;
  RunToEnd(finder, p, false);
  EXPECT_EQ(listener.Found(), std::vector<std::string>{"literal.pdf"});
}

TEST_F(DocumentTest, ReplaceRunSkipsDocumentsAndMissingConverterIsAnError) {
  tree_.Write(u"doc.pdf", "write:needle");
  tree_.Write(u"doc.docx", "not really a document");
  {
    RecordingListener listener(tree_.root());
    CFinder finder(&listener);
    FileFindParamsIn p = Params(u"needle");
    p.replace = true;
    p.replace_text = u"pin";
    RunToEnd(finder, p, true);
    EXPECT_EQ(listener.results["doc.pdf"]->kind, ResultKind::kSkipped);
    EXPECT_EQ(listener.results["doc.pdf"]->reason, kReasonReplaceUnsupported);
    EXPECT_EQ(listener.results["doc.docx"]->reason, kReasonReplaceUnsupported);
  }
  SetPdfConverterPath(tree_.Path(u"no_such_converter"));
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  RunToEnd(finder, Params(u"needle"), false);
  EXPECT_EQ(listener.results["doc.pdf"]->kind, ResultKind::kError);
  EXPECT_EQ(listener.results["doc.pdf"]->reason, kReasonInternal);
}

// No document filters exist here (and none under Wine): the filter cannot be
// loaded, and the failure code is shown with the reason.
TEST_F(DocumentTest, DocumentWithoutFilterIsLoadFailureWithItsCode) {
  tree_.Write(u"report.docx", "PK\x03\x04 not a real archive");
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  RunToEnd(finder, Params(u"anything"), false);
  ASSERT_EQ(listener.results.count("report.docx"), 1u);
  const FileResult& r = *listener.results["report.docx"];
  EXPECT_EQ(r.kind, ResultKind::kError);
  EXPECT_EQ(r.reason, kReasonLoadFilter);
  EXPECT_EQ(r.error_code, 0x80004001u);
  EXPECT_EQ(ReasonText(r.kind, r.reason, r.error_code), u"Load IFilter failed (error=0x80004001)");
}

// A stop during a conversion that would never end ends the converter and the
// pass at once. The stop is signalled before the pass: the wait sees it on its
// first look, after the converter has started.
TEST_F(DocumentTest, StopDuringConversionCancelsThePass) {
  std::u16string pdf = tree_.Write(u"slow.pdf", "hang");
  platform::Event stop;
  CFileHandlerFactoryPro factory(&stop);
  CTextFinder* handler = factory.CreateFinder(u"pdf", false);
  ASSERT_NE(handler, nullptr);
  stop.Set();
  EXPECT_FALSE(ContentPass(*handler, u"x", nullptr, pdf, false, true, false, 0, true));
  EXPECT_TRUE(handler->canceled);
  EXPECT_EQ(handler->result_kind, ResultKind::kNone);
}

TEST_F(DocumentTest, RealConverterOnAGeneratedPdf) {
  SetPdfConverterPath(u"");
  if (platform::FindPdfConverter().empty()) GTEST_SKIP() << "no PDF converter installed";
  tree_.Write(u"two.pdf", MakePdf({"Caf\xE9 on the first page", "Second page, na\xEFve text"}));
  RecordingListener listener(tree_.root());
  CFinder finder(&listener);
  FileFindParamsIn p = Params(u"NA\u00cfVE");
  RunToEnd(finder, p, false);
  ASSERT_EQ(listener.results.count("two.pdf"), 1u);
  EXPECT_EQ(listener.results["two.pdf"]->kind, ResultKind::kFound);

  p.path = tree_.Path(u"two.pdf");
  p.text = u"page";
  p.single_file = true;
  RunToEnd(finder, p, false);
  ASSERT_TRUE(listener.matches);
  ASSERT_EQ(listener.matches->size(), 2u);
  EXPECT_LT((*listener.matches)[0].line, (*listener.matches)[1].line)
      << "the pages are on different lines";
}

}  // namespace
