// Message box rules and layout (see message_box_layout.h).
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#include "toolkit/logic/message_box_layout.h"

#include <algorithm>
#include <climits>

namespace toolkit {
namespace {

constexpr int kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6,
              kIdNo = 7, kIdTryAgain = 10, kIdContinue = 11;

// Captions of the standard buttons, the texts the user sees.
const std::u16string kOk = u"OK", kCancel = u"Cancel", kAbort = u"&Abort", kRetry = u"&Retry",
                     kIgnore = u"&Ignore", kYes = u"&Yes", kNo = u"&No", kTryAgain = u"&Try Again",
                     kContinue = u"&Continue";

constexpr int kMargin = 16;
constexpr int kTextAreaExtraWidth = 28;
constexpr int kTextAreaExtraHeight = 21;
constexpr int kIconGap = 16;
constexpr int kButtonWidth = 78;
constexpr int kWideButtonWidth = 100;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kRowGap = 10;
constexpr int kBottomMargin = 12;
constexpr int kRowSideMargins = 32;
constexpr int kTextSlack = 8;
constexpr int kCaptionPadding = 8;  // each side of the widest caption

std::vector<MessageBoxButton> StandardButtons(unsigned set) {
  switch (set) {
    case 1: return {{kIdOk, kOk}, {kIdCancel, kCancel}};
    case 2: return {{kIdAbort, kAbort}, {kIdRetry, kRetry}, {kIdIgnore, kIgnore}};
    case 3: return {{kIdYes, kYes}, {kIdNo, kNo}, {kIdCancel, kCancel}};
    case 4: return {{kIdYes, kYes}, {kIdNo, kNo}};
    case 5: return {{kIdRetry, kRetry}, {kIdCancel, kCancel}};
    case 6: return {{kIdCancel, kCancel}, {kIdTryAgain, kTryAgain}, {kIdContinue, kContinue}};
    default: return {{kIdOk, kOk}};
  }
}

std::vector<MessageBoxButton> CustomButtons(std::u16string_view list) {
  list = list.substr(0, kMaxCustomButtonText);
  std::vector<MessageBoxButton> buttons;
  while (!list.empty() && static_cast<int>(buttons.size()) < kMaxCustomButtons) {
    const std::size_t end = std::min(list.find(u'\n'), list.size());
    const int code = kFirstCustomButtonCode + static_cast<int>(buttons.size());
    buttons.push_back({code, std::u16string(list.substr(0, end))});
    list.remove_prefix(std::min(end + 1, list.size()));
  }
  std::vector<std::u16string> captions;
  for (const MessageBoxButton& b : buttons) captions.push_back(b.caption);
  AssignAccessKeys(captions);
  for (std::size_t i = 0; i < buttons.size(); ++i) buttons[i].caption = captions[i];
  return buttons;
}

char16_t KeyOf(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }
bool IsUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }
bool IsLetterOrDigit(char16_t c) {
  return IsUpper(KeyOf(c)) || (c >= u'0' && c <= u'9') || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

// The position of the character after a single "&", or npos.
std::size_t AccessKeyPosition(const std::u16string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (caption[i + 1] != u'&') return i + 1;
    ++i;  // "&&" is a plain ampersand
  }
  return std::u16string::npos;
}

// The first character of `caption` accepted by `wanted` whose key is free.
std::size_t FreeKey(const std::u16string& caption, const std::u16string& used,
                    bool (*wanted)(char16_t)) {
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&') {
      ++i;  // the escaped ampersand's second half
      continue;
    }
    if (wanted(caption[i]) && used.find(KeyOf(caption[i])) == std::u16string::npos) return i;
  }
  return std::u16string::npos;
}

int RowWidth(int count, int button_width, int gap) {
  return count * button_width + std::max(count - 1, 0) * gap;
}

}  // namespace

MessageBoxIcon IconFromStyle(unsigned style) {
  switch (style & kMbIconMask) {
    case 0: return MessageBoxIcon::kNone;
    case kMbIconStop: return MessageBoxIcon::kStop;
    case kMbIconQuestion: return MessageBoxIcon::kQuestion;
    case kMbIconInformation: return MessageBoxIcon::kInformation;
    default: return MessageBoxIcon::kExclamation;
  }
}

bool UsesSystemMessageBox(unsigned style) {
  return (style & kMbIconMask) == kMbIconStop && (style & kMbSystemModal) != 0;
}

std::vector<MessageBoxButton> MessageBoxButtons(unsigned style, std::u16string_view custom) {
  if (!custom.empty()) return CustomButtons(custom);
  return StandardButtons(style & kMbButtonSetMask);
}

int DefaultButtonIndex(unsigned style, int button_count) {
  const int index = static_cast<int>((style & kMbDefButtonMask) >> 8);
  return index < button_count ? index : 0;
}

int EscapeButtonCode(const std::vector<MessageBoxButton>& buttons) {
  for (const MessageBoxButton& b : buttons) {
    if (b.code == kIdCancel) return kIdCancel;
  }
  return buttons.size() == 1 ? buttons.front().code : 0;
}

void AssignAccessKeys(std::vector<std::u16string>& captions) {
  std::u16string used;
  for (const std::u16string& c : captions) {
    const std::size_t key = AccessKeyPosition(c);
    if (key != std::u16string::npos) used += KeyOf(c[key]);
  }
  for (std::u16string& c : captions) {
    if (AccessKeyPosition(c) != std::u16string::npos) continue;
    std::size_t key = FreeKey(c, used, IsUpper);
    if (key == std::u16string::npos) key = FreeKey(c, used, IsLetterOrDigit);
    if (key == std::u16string::npos) continue;
    used += KeyOf(c[key]);
    c.insert(key, 1, u'&');
  }
}

int MaxMessageTextWidth(int screen_width, bool has_icon, int icon_width, int dpi) {
  return has_icon ? screen_width / 2 - icon_width + ScaleForDpi(64, dpi)
                  : screen_width / 2 + ScaleForDpi(80, dpi);
}

MessageBoxLayout LayoutMessageBox(const MessageBoxMetrics& m) {
  const auto scale = [&m](int value) { return ScaleForDpi(value, m.dpi); };
  MessageBoxLayout layout;
  const int margin = scale(kMargin);
  int text_left = margin;
  int area_height = m.text_height;
  if (m.has_icon) {
    layout.icon = {margin, margin, margin + m.icon_width, margin + m.icon_height};
    text_left += m.icon_width + scale(kIconGap);
    area_height = std::max(area_height, m.icon_height);
  }
  // A text shorter than the icon is centred on it.
  const int text_top = margin + (area_height - m.text_height) / 2;
  layout.text = {text_left, text_top, text_left + m.text_width + scale(kTextSlack),
                 text_top + m.text_height};
  const int area_right = text_left + m.text_width + scale(kTextAreaExtraWidth);
  const int area_bottom = margin + area_height + scale(kTextAreaExtraHeight);

  const int count = static_cast<int>(m.caption_widths.size());
  const int widest_caption =
      count > 0 ? *std::max_element(m.caption_widths.begin(), m.caption_widths.end()) : 0;
  const int width = std::max(scale(m.wide_buttons ? kWideButtonWidth : kButtonWidth),
                             widest_caption + 2 * scale(kCaptionPadding));
  const int height = scale(kButtonHeight), gap = scale(kButtonGap), sides = scale(kRowSideMargins);
  const int max_client =
      m.max_text_width > 0 ? text_left + m.max_text_width + scale(kTextAreaExtraWidth) : INT_MAX;
  int per_row = std::max(count, 1);
  while (per_row > 1 && RowWidth(per_row, width, gap) + sides > max_client) --per_row;
  const int rows = (count + per_row - 1) / per_row;
  if (rows > 0) per_row = (count + rows - 1) / rows;  // rows as evenly filled as possible

  layout.client_width = std::max(area_right, RowWidth(per_row, width, gap) + sides);
  int top = area_bottom + scale(kRowGap);
  for (int first = 0; first < count; first += per_row) {
    const int in_row = std::min(per_row, count - first);
    int x = (layout.client_width - RowWidth(in_row, width, gap)) / 2;
    for (int i = 0; i < in_row; ++i, x += width + gap) {
      layout.buttons.push_back({x, top, x + width, top + height});
    }
    top += height + gap;
  }
  const int last_bottom = layout.buttons.empty() ? area_bottom : layout.buttons.back().bottom;
  layout.client_height = last_bottom + scale(kBottomMargin);
  return layout;
}

}  // namespace toolkit
