// The handler factories.
// Tested by tests/engine/handler_factory_test.cpp.
#include "engine/handler_factory.h"

#include "engine/document_finders.h"
#include "engine/regex_handlers.h"
#include "platform/text.h"

CFileHandlerFactory::CFileHandlerFactory(platform::Event* stop_event) : stop_event_(stop_event) {}
CFileHandlerFactory::~CFileHandlerFactory() = default;

HandlerKind CFileHandlerFactory::GetHandlerKind(std::u16string_view extension) const {
  static const HandlerSettings defaults;
  return ::GetHandlerKind(settings_ ? *settings_ : defaults, extension);
}

CTextFinder* CFileHandlerFactory::PlainTextFinder(bool regular_expression) {
  if (regular_expression) {
    if (!regex_finder_) regex_finder_ = CreateRegexFinder();
    return Handed(regex_finder_.get());
  }
  if (!plain_finder_) plain_finder_ = std::make_unique<CTextFinder>();
  return Handed(plain_finder_.get());
}

CTextFinder* CFileHandlerFactory::CreateFinder(std::u16string_view extension, bool regular_expression) {
  if (GetHandlerKind(extension) != HandlerKind::kPlainText) return nullptr;
  return PlainTextFinder(regular_expression);
}

CTextReplacer* CFileHandlerFactory::CreateReplacer(bool regular_expression) {
  if (regular_expression) {
    if (!regex_replacer_) regex_replacer_ = CreateRegexReplacer();
    return Handed(regex_replacer_.get());
  }
  if (!plain_replacer_) plain_replacer_ = std::make_unique<CTextReplacer>();
  return Handed(plain_replacer_.get());
}

CFileHandlerFactoryPro::~CFileHandlerFactoryPro() = default;

CTextFinder* CFileHandlerFactoryPro::CreateFinder(std::u16string_view extension,
                                                  bool regular_expression) {
  switch (GetHandlerKind(extension)) {
    case HandlerKind::kPlainText:
      return PlainTextFinder(regular_expression);
    case HandlerKind::kIFilter:
      if (regular_expression) {
        if (!regex_ifilter_finder_) regex_ifilter_finder_ = CreateRegexIFilterFinder();
        return Handed(regex_ifilter_finder_.get());
      }
      if (!ifilter_finder_) ifilter_finder_ = std::make_unique<CIFilterTextFinder>();
      return Handed(ifilter_finder_.get());
    case HandlerKind::kBuiltIn:
      // The built-in route knows PDF only, and matches the pattern as plain
      // text even in a regular-expression search.
      if (platform::Lowered(std::u16string(extension)) != u"pdf") return nullptr;
      if (!pdf_finder_) pdf_finder_ = std::make_unique<CPDFTextFinder>();
      return Handed(pdf_finder_.get());
    case HandlerKind::kIgnore:
      break;
  }
  return nullptr;
}
