// The match preview's window-free rules: the match view's text and styled
// ranges rendered from a match list (line numbers, highlights, struck-out
// matches with their replacements, the note line with its link), the RTF
// that carries them into the rich edit in one step, the way back from a
// double-clicked line to the match in the file view, the size limit, and the
// file view's text read through the engine's content reader.
// Tested by tests/ui/preview_logic_test.cpp.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_result.h"
#include "engine/search_params.h"
#include "ui/logic/preview_strings.h"

namespace ui {

enum PreviewStringId : int {
#define VARNEL_PREVIEW_STRING_ENUM(name, id, text) name = id,
  VARNEL_PREVIEW_STRINGS(VARNEL_PREVIEW_STRING_ENUM)
#undef VARNEL_PREVIEW_STRING_ENUM
};

// The text of `id`; empty for an id the list does not hold.
std::u16string_view PreviewText(int id);

// Whether the preview shows a character as it is. The C0 and C1 controls,
// DEL and the line and paragraph separators are shown as "?": the rich edit
// and the edit control would break lines at some of them (which would move
// every later line away from its match) and cut the text at a NUL.
bool IsShownCharacter(char16_t c);
// Replaces every character that is not shown with "?"; `file_view` keeps CR,
// LF and TAB, which the file view shows as line breaks and indentation.
void ReplaceUnshown(std::u16string& text, bool file_view);

enum class PreviewStyle : std::uint8_t { kLineNumber, kHighlight, kStrikeOut, kLink };

struct StyledRange {
  std::int32_t start = 0;
  std::int32_t length = 0;
  PreviewStyle style = PreviewStyle::kHighlight;
  bool operator==(const StyledRange&) const = default;
};

// What a rendering depends on besides the list.
struct PreviewOptions {
  bool replace_run = false;
  // The text a replace run wrote in place of each match (the decoded bytes
  // for a hex run).
  std::u16string replacement;
  // The most entries a find run shows before the note line; 0 or less: no
  // limit. A replace run shows its stored list in full.
  std::int32_t match_limit = 0;
  bool show_all = false;
};

// The options for a run's parameters and the page's settings.
PreviewOptions PreviewOptionsFor(const FileFindParamsIn& params, std::int32_t max_number_matches,
                                 bool show_all);

// The match view's content. Every line ends with "\r", a paragraph break,
// which the rich edit counts as one character, as `ranges` do.
struct PreviewDocument {
  std::u16string text;
  // By start, then style; a highlight and a strike-out may cover
  // the same characters.
  std::vector<StyledRange> ranges;
  // Per line of the view: where it starts, and the index of the entry it
  // shows (-1 for the note line).
  std::vector<std::int32_t> line_starts;
  std::vector<std::int32_t> line_entries;
  // The note line with its "Show all matches." link leads the view.
  bool limited = false;
};

PreviewDocument RenderMatches(const MatchList& list, const PreviewOptions& options);

// The view line holding character `position` (the end counts as the last
// line); -1 for an empty view.
std::int32_t LineAtPosition(const PreviewDocument& document, std::int64_t position);

// What a double click on a view line selects in the file view: the match's
// offset in the content and, for a find run, its first range's length, for
// a replace run the replacement's length. None for the note line or a line
// without an entry.
struct FileSelection {
  std::int64_t start = 0;
  std::int64_t length = 0;
  bool operator==(const FileSelection&) const = default;
};
std::optional<FileSelection> MatchAtLine(const PreviewDocument& document, const MatchList& list,
                                         std::int32_t line, const PreviewOptions& options);

// The document as RTF for EM_STREAMIN: face "MS Shell Dlg", bold, numbers in
// blue (0, 0, 255), highlights on yellow (255, 255, 0), strike-outs. The link
// is left to the caller (rich edit 2.0 reads no link from RTF).
std::string PreviewRtf(const PreviewDocument& document);

// The file view's size limit: `limit_megabytes` of 0 or less is none; a file
// of exactly the limit is shown.
bool FileTooLargeForPreview(std::uint64_t size, std::int32_t limit_megabytes);
// The same for the file at `path`; a file whose size cannot be told is not
// too large (reading it will fail on its own).
bool FileTooLargeForPreview(const std::u16string& path, std::int32_t limit_megabytes);

// How the file view reads the file: plain files by their mark (else the ANSI
// code page); a converter's output as UTF-16 of the byte order the engine
// reported.
struct FileViewSource {
  std::u16string path;
  bool converted_text = false;
  bool little_endian = true;
};

// The whole text of the file for the file view, decoded by the engine's
// content reader, with the characters it does not show replaced; false when
// the file cannot be opened or read (`out` is then left as it was).
[[nodiscard]] bool LoadFileViewText(const FileViewSource& source, std::u16string& out);

}  // namespace ui
