// Hands out the content handler for a file by its extension, and the
// replacer of a replace run; handlers are created once and reused.
// Tested by tests/engine/handler_factory_test.cpp.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "engine/handler_table.h"
#include "engine/text_finder.h"
#include "engine/text_replacer.h"
#include "platform/sync.h"

class IFileHandlerFactory {
 public:
  virtual ~IFileHandlerFactory() = default;
  virtual CTextFinder* CreateFinder(std::u16string_view extension, bool regular_expression) = 0;
  virtual CTextReplacer* CreateReplacer(bool regular_expression) = 0;
};

class CFileHandlerFactory : public IFileHandlerFactory {
 public:
  explicit CFileHandlerFactory(platform::Event* stop_event);
  ~CFileHandlerFactory() override;

  // The run's own copy of the handler settings (not owned).
  void SetSettings(const HandlerSettings* settings) { settings_ = settings; }
  HandlerKind GetHandlerKind(std::u16string_view extension) const;

  CTextFinder* CreateFinder(std::u16string_view extension, bool regular_expression) override;
  CTextReplacer* CreateReplacer(bool regular_expression) override;

 protected:
  CTextFinder* PlainTextFinder(bool regular_expression);
  template <typename T>
  T* Handed(T* handler) {
    if (handler) handler->stop_event = stop_event_;
    return handler;
  }

  platform::Event* stop_event_;
  const HandlerSettings* settings_ = nullptr;

 private:
  std::unique_ptr<CTextFinder> plain_finder_;
  std::unique_ptr<CTextFinder> regex_finder_;
  std::unique_ptr<CTextReplacer> plain_replacer_;
  std::unique_ptr<CTextReplacer> regex_replacer_;
};

// The factory the finder uses: adds the document handlers.
class CFileHandlerFactoryPro : public CFileHandlerFactory {
 public:
  using CFileHandlerFactory::CFileHandlerFactory;
  ~CFileHandlerFactoryPro() override;
  CTextFinder* CreateFinder(std::u16string_view extension, bool regular_expression) override;

 private:
  std::unique_ptr<CTextFinder> ifilter_finder_;
  std::unique_ptr<CTextFinder> regex_ifilter_finder_;
  std::unique_ptr<CTextFinder> pdf_finder_;
};
