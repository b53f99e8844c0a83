// Finders for documents whose text is not plain: they first turn the file into
// UTF-16 text in a temporary file (through the system's document filters, or
// the external PDF converter) and then search that text.
// Tested by tests/engine/document_finder_test.cpp.
#pragma once
#include <string>

#include "engine/text_finder.h"

// The folder that holds the converted text files ("VN_" names): by default the
// system temporary path + "Varnel". varnel-cli sets a folder of its own so that
// it never deletes files a running Varnel uses.
void SetDocumentTempFolder(const std::u16string& folder);
std::u16string DocumentTempFolder();
// The converter to run; empty (the default) looks it up beside the program
// (and on POSIX on PATH). Tests point it at a fake converter.
void SetPdfConverterPath(const std::u16string& path);

// What both routes share: the temporary text file, deleted at the next
// extraction and when the handler is destroyed.
class CConvertedTextFinder : public CTextFinder {
 public:
  ~CConvertedTextFinder() override;
  std::u16string SearchedPath() const override { return converted_path; }
  bool SupportsReplace() const override { return false; }
  bool IsConverted() const override { return true; }
  bool SearchesLiterally() const override { return false; }

  std::u16string converted_path;

 protected:
  // A new "VN_" file; false (the pass ends without a result) when no name can
  // be made. The previous converted file is deleted.
  bool NewConvertedFile();
  // Opens the reader on the converted text with the NUL rule off.
  bool OpenConverted(bool little_endian);
  bool Fail(std::int32_t reason_code, std::uint32_t code);
};

// Office documents and help files through the system's document filters.
class CIFilterTextFinder : public CConvertedTextFinder {
 public:
  bool Open() override;

 protected:
  bool Extract();
};

// PDF files through the external converter.
class CPDFTextFinder : public CConvertedTextFinder {
 public:
  bool Open() override;

  // How long the converter may run before it is ended and whatever it wrote
  // is searched.
  static constexpr std::uint32_t kConverterTimeoutMs = 60000;
};
