// Used only while the build has no regular-expression handlers: the factory
// then has no handler for a regular-expression search.
#include <memory>

#include "engine/regex_handlers.h"
#include "engine/text_replacer.h"

std::unique_ptr<CTextFinder> CreateRegexFinder() { return nullptr; }
std::unique_ptr<CTextReplacer> CreateRegexReplacer() { return nullptr; }
std::unique_ptr<CTextFinder> CreateRegexIFilterFinder() { return nullptr; }
