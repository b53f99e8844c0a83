// The match preview's rendering model (see preview_document.h).
// Tested by tests/ui/preview_logic_test.cpp.
#include "ui/logic/preview_document.h"

#include <algorithm>

#include "engine/content_reader.h"
#include "platform/fs.h"
#include "ui/logic/text_table.h"

namespace ui {
namespace {

constexpr TextEntry kTexts[] = {VARNEL_PREVIEW_STRINGS(VARNEL_TEXT_ENTRY)};

std::u16string Decimal(std::int64_t value) {
  std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::int32_t Length(const std::u16string& text) { return static_cast<std::int32_t>(text.size()); }

// One entry's line after the number and tab: the shown text and, for a
// replace run, the replacement inserted after each match, with the ranges
// relative to the line's text.
struct RenderedLine {
  std::u16string text;
  std::vector<StyledRange> ranges;
};

// A range is cut to the line: one that starts past the end starts at the
// end, and none reaches past it (the engine's context line can be shorter
// than a long match).
void ClampRange(const HighlightRange& range, std::int32_t width, std::int32_t& col,
                std::int32_t& len) {
  col = std::clamp(range.start, 0, width);
  len = std::clamp(range.length, 0, width - col);
}

RenderedLine RenderLine(const MatchEntry& entry, const PreviewOptions& options,
                        const std::u16string& replacement) {
  RenderedLine line{entry.text, {}};
  ReplaceUnshown(line.text, false);
  const std::int32_t width = Length(line.text);
  // From the last range to the first, so that an insertion does not move the
  // columns of the ranges still to come; ranges made earlier move with it.
  for (auto it = entry.highlights.rbegin(); it != entry.highlights.rend(); ++it) {
    std::int32_t col = 0, len = 0;
    ClampRange(*it, width, col, len);
    if (!options.replace_run) {
      if (len > 0) line.ranges.push_back({col, len, PreviewStyle::kHighlight});
      continue;
    }
    const std::int32_t inserted = Length(replacement);
    line.text.insert(static_cast<std::size_t>(col + len), replacement);
    for (StyledRange& later : line.ranges) {
      if (later.start >= col + len) later.start += inserted;
    }
    if (len > 0) line.ranges.push_back({col, len, PreviewStyle::kStrikeOut});
    if (len + inserted > 0) line.ranges.push_back({col, len + inserted, PreviewStyle::kHighlight});
  }
  return line;
}

void AppendLine(PreviewDocument& document, std::int32_t entry) {
  document.line_starts.push_back(Length(document.text));
  document.line_entries.push_back(entry);
}

void AppendNoteLine(PreviewDocument& document, std::int32_t limit) {
  AppendLine(document, -1);
  document.text += PreviewText(IDS_PREVIEW_ONLY_FIRST);
  document.text += Decimal(limit);
  document.text += PreviewText(IDS_PREVIEW_WERE_SHOWN);
  document.text += u' ';
  const std::u16string_view link = PreviewText(IDS_PREVIEW_SHOW_ALL);
  document.ranges.push_back(
      {Length(document.text), static_cast<std::int32_t>(link.size()), PreviewStyle::kLink});
  document.text += link;
  document.text += u'\r';
}

void AppendRtfText(std::string& rtf, std::u16string_view text) {
  for (char16_t c : text) {
    if (c == u'\\' || c == u'{' || c == u'}') {
      rtf += '\\';
      rtf += static_cast<char>(c);
    } else if (c == u'\t') {
      rtf += "\\tab ";
    } else if (c == u'\r') {
      rtf += "\\par\n";
    } else if (c >= 0x20 && c < 0x80) {
      rtf += static_cast<char>(c);
    } else {
      // \uN takes a signed 16-bit number; "?" is what a reader without
      // Unicode shows.
      rtf += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + '?';
    }
  }
}

// The RTF control words that switch a style on and off.
const char* StyleOn(PreviewStyle style) {
  switch (style) {
    case PreviewStyle::kLineNumber: return "\\cf1 ";
    case PreviewStyle::kHighlight: return "\\highlight2 ";
    case PreviewStyle::kStrikeOut: return "\\strike ";
    case PreviewStyle::kLink: return "";
  }
  return "";
}

const char* StyleOff(PreviewStyle style) {
  switch (style) {
    case PreviewStyle::kLineNumber: return "\\cf0 ";
    case PreviewStyle::kHighlight: return "\\highlight0 ";
    case PreviewStyle::kStrikeOut: return "\\strike0 ";
    case PreviewStyle::kLink: return "";
  }
  return "";
}

}  // namespace

std::u16string_view PreviewText(int id) {
  return FindText(kTexts, id);
}

bool IsShownCharacter(char16_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
  return c != 0x2028 && c != 0x2029;
}

void ReplaceUnshown(std::u16string& text, bool file_view) {
  for (char16_t& c : text) {
    if (IsShownCharacter(c)) continue;
    if (file_view && (c == u'\r' || c == u'\n' || c == u'\t')) continue;
    c = u'?';
  }
}

PreviewOptions PreviewOptionsFor(const FileFindParamsIn& params, std::int32_t max_number_matches,
                                 bool show_all) {
  PreviewOptions options;
  options.replace_run = params.replace;
  options.replacement = params.binary ? params.hex_replace_text : params.replace_text;
  options.match_limit = max_number_matches;
  options.show_all = show_all;
  return options;
}

PreviewDocument RenderMatches(const MatchList& list, const PreviewOptions& options) {
  PreviewDocument document;
  auto shown = static_cast<std::int32_t>(list.size());
  if (!options.replace_run && !options.show_all && options.match_limit > 0 &&
      shown >= options.match_limit) {
    shown = options.match_limit;
    document.limited = true;
    AppendNoteLine(document, options.match_limit);
  }
  std::u16string replacement = options.replacement;
  ReplaceUnshown(replacement, false);
  for (std::int32_t i = 0; i < shown; ++i) {
    const MatchEntry& entry = list[static_cast<std::size_t>(i)];
    AppendLine(document, i);
    const std::u16string number = Decimal(entry.line);
    document.ranges.push_back({Length(document.text), Length(number), PreviewStyle::kLineNumber});
    document.text += number;
    document.text += u'\t';
    RenderedLine line = RenderLine(entry, options, replacement);
    const std::int32_t at = Length(document.text);
    for (const StyledRange& r : line.ranges) {
      document.ranges.push_back({at + r.start, r.length, r.style});
    }
    document.text += line.text;
    document.text += u'\r';
  }
  std::sort(document.ranges.begin(), document.ranges.end(),
            [](const StyledRange& a, const StyledRange& b) {
              return a.start != b.start ? a.start < b.start : a.style < b.style;
            });
  return document;
}

std::int32_t LineAtPosition(const PreviewDocument& document, std::int64_t position) {
  const auto& starts = document.line_starts;
  if (starts.empty()) return -1;
  auto it = std::upper_bound(starts.begin(), starts.end(), position);
  if (it == starts.begin()) return 0;
  return static_cast<std::int32_t>(it - starts.begin()) - 1;
}

std::optional<FileSelection> MatchAtLine(const PreviewDocument& document, const MatchList& list,
                                         std::int32_t line, const PreviewOptions& options) {
  if (line < 0 || line >= static_cast<std::int32_t>(document.line_entries.size())) {
    return std::nullopt;
  }
  const std::int32_t index = document.line_entries[static_cast<std::size_t>(line)];
  if (index < 0 || index >= static_cast<std::int32_t>(list.size())) return std::nullopt;
  const MatchEntry& entry = list[static_cast<std::size_t>(index)];
  FileSelection selection{entry.position, 0};
  if (options.replace_run) {
    selection.length = static_cast<std::int64_t>(options.replacement.size());
  } else if (!entry.highlights.empty()) {
    selection.length = std::max(0, entry.highlights.front().length);
  }
  return selection;
}

std::string PreviewRtf(const PreviewDocument& document) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil MS Shell Dlg;}}"
      "{\\colortbl ;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}"
      "\\uc1\\pard\\f0\\fs16\\b ";
  rtf.reserve(rtf.size() + document.text.size() * 11 / 10 + document.ranges.size() * 24);
  // Switch points: each range turns its style on at its start and off at
  // its end; ranges of one style never overlap.
  struct Switch {
    std::int32_t at;
    bool on;
    PreviewStyle style;
  };
  std::vector<Switch> switches;
  switches.reserve(document.ranges.size() * 2);
  for (const StyledRange& r : document.ranges) {
    if (r.length <= 0 || r.style == PreviewStyle::kLink) continue;
    switches.push_back({r.start, true, r.style});
    switches.push_back({r.start + r.length, false, r.style});
  }
  // At one position the ends come before the starts.
  std::stable_sort(switches.begin(), switches.end(), [](const Switch& a, const Switch& b) {
    return a.at != b.at ? a.at < b.at : (!a.on && b.on);
  });
  std::int32_t done = 0;
  const std::u16string_view text = document.text;
  for (const Switch& s : switches) {
    AppendRtfText(
        rtf, text.substr(static_cast<std::size_t>(done), static_cast<std::size_t>(s.at - done)));
    done = s.at;
    rtf += s.on ? StyleOn(s.style) : StyleOff(s.style);
  }
  AppendRtfText(rtf, text.substr(static_cast<std::size_t>(done)));
  rtf += '}';
  return rtf;
}

bool FileTooLargeForPreview(std::uint64_t size, std::int32_t limit_megabytes) {
  if (limit_megabytes <= 0) return false;
  return size > static_cast<std::uint64_t>(limit_megabytes) * 1048576u;
}

bool FileTooLargeForPreview(const std::u16string& path, std::int32_t limit_megabytes) {
  if (limit_megabytes <= 0) return false;
  platform::File file;
  std::uint64_t size = 0;
  if (!file.Open(path, platform::File::Mode::kRead) || !file.GetSize(size)) return false;
  return FileTooLargeForPreview(size, limit_megabytes);
}

bool LoadFileViewText(const FileViewSource& source, std::u16string& out) {
  ContentReader reader;
  const TextEncoding forced =
      source.little_endian ? TextEncoding::kUtf16Le : TextEncoding::kUtf16Be;
  if (!reader.Open(source.path, false, source.converted_text ? &forced : nullptr)) return false;
  std::u16string text;
  // Room for the file's size in characters: at most one per byte.
  const std::uint64_t size = reader.FileSize();
  if (size > 0 && size < text.max_size()) text.reserve(static_cast<std::size_t>(size));
  ContentReader::Piece piece;
  while (reader.NextPiece(piece)) text += piece.text;
  const bool read = reader.error_kind() == ResultKind::kNone;
  reader.Close();
  if (!read) return false;
  ReplaceUnshown(text, true);
  out = std::move(text);
  return true;
}

}  // namespace ui
