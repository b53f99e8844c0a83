// The seam through which the factory makes the regular-expression handlers,
// which live with the pattern engine in regex/ (library varnel_regex_handlers
// defines these functions).
#pragma once
#include <memory>

class CTextFinder;
class CTextReplacer;

std::unique_ptr<CTextFinder> CreateRegexFinder();
std::unique_ptr<CTextReplacer> CreateRegexReplacer();
// The document-filter finder that matches a regular expression.
std::unique_ptr<CTextFinder> CreateRegexIFilterFinder();
