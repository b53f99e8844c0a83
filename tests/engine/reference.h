// A reference for the content pass: the matches and the match list as the
// program defines them, computed from the whole decoded content at once
// instead of piece by piece, and a readable form of match lists.
#pragma once
#include <string>
#include <vector>

#include "engine/file_result.h"
#include "engine_test_support.h"

namespace engine_test {

// Starts of the non-overlapping occurrences, left to right (`pattern` is
// lower case when not case-sensitive).
std::vector<std::size_t> ReferenceMatches(const std::u16string& content,
                                          const std::u16string& pattern, bool case_sensitive);

// The content with every occurrence replaced.
std::u16string ReferenceReplace(const std::u16string& content, const std::u16string& pattern,
                                bool case_sensitive, const std::u16string& replacement);

// The match list of `content` read from a file of `variant`; with a
// replacement length, positions are those in the rewritten content.
MatchList ReferenceList(const Variant& variant, const std::u16string& content,
                        const std::u16string& pattern, bool case_sensitive,
                        std::int32_t replacement_length = -1);

// One line per entry: "line L at P [start+length] context".
std::vector<std::string> Show(const MatchList& list);

}  // namespace engine_test
