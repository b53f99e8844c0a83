// The extension table's defaults and lookup.
// Tested by tests/engine/handler_factory_test.cpp.
#include "engine/handler_table.h"

#include <algorithm>

#include "platform/text.h"

std::u16string HandlerKindName(HandlerKind kind) {
  switch (kind) {
    case HandlerKind::kPlainText: return u"PlainText";
    case HandlerKind::kIFilter: return u"IFilter";
    case HandlerKind::kBuiltIn: return u"Built-in";
    case HandlerKind::kIgnore: break;
  }
  return u"";
}

ExtensionHandlerTable DefaultHandlerTable() {
  return {{u"chm", HandlerKind::kIFilter},   {u"doc", HandlerKind::kIFilter},
          {u"docx", HandlerKind::kIFilter},  {u"htm", HandlerKind::kPlainText},
          {u"html", HandlerKind::kPlainText}, {u"pdf", HandlerKind::kBuiltIn},
          {u"ppt", HandlerKind::kIFilter},   {u"pptx", HandlerKind::kIFilter},
          {u"rtf", HandlerKind::kIFilter},   {u"xls", HandlerKind::kIFilter},
          {u"xlsx", HandlerKind::kIFilter},  {u"*", HandlerKind::kPlainText}};
}

std::vector<std::u16string> DefaultSkipExtensions() {
  return {u"avi", u"dll", u"exe", u"gif", u"jpg", u"jpeg", u"mp3", u"png", u"rar", u"zip"};
}

HandlerKind GetHandlerKind(const HandlerSettings& settings, std::u16string_view extension) {
  if (settings.ignore_files &&
      std::find(settings.skip_extensions.begin(), settings.skip_extensions.end(), extension) !=
          settings.skip_extensions.end())
    return HandlerKind::kIgnore;
  auto it = settings.handler_table.find(platform::Lowered(std::u16string(extension)));
  if (it != settings.handler_table.end()) return it->second;
  auto any = settings.handler_table.find(u"*");
  return any != settings.handler_table.end() ? any->second : HandlerKind::kIgnore;
}
