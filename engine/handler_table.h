// Which content handler a file extension gets: the extension table, the skip
// list and their built-in defaults.
// Tested by tests/engine/handler_factory_test.cpp.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

enum class HandlerKind : std::int32_t { kIgnore = 0, kPlainText = 1, kIFilter = 2, kBuiltIn = 3 };

// Lower-case extension without the dot -> kind; "*" is every extension that
// has no entry of its own. Ordered by UTF-16 code units.
using ExtensionHandlerTable = std::map<std::u16string, HandlerKind>;

// "PlainText", "IFilter", "Built-in"; empty for kIgnore.
std::u16string HandlerKindName(HandlerKind kind);

ExtensionHandlerTable DefaultHandlerTable();
std::vector<std::u16string> DefaultSkipExtensions();

// The part of the options that decides handlers. A run takes its own copy
// when it starts, so that the options dialog can replace the settings' tables
// while searches run.
struct HandlerSettings {
  ExtensionHandlerTable handler_table = DefaultHandlerTable();
  std::vector<std::u16string> skip_extensions = DefaultSkipExtensions();
  bool ignore_files = true;
};

// The skip list compares exactly (case-sensitive); the table lookup
// lower-cases the extension first.
HandlerKind GetHandlerKind(const HandlerSettings& settings, std::u16string_view extension);
