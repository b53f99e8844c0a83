// Message box rules and layout (see message_box_layout.h).
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#include "toolkit/logic/message_box_layout.h"

#include <algorithm>

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
  return buttons;
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

int MaxMessageTextWidth(int screen_width, bool has_icon, int icon_width) {
  return has_icon ? screen_width / 2 - icon_width + 64 : screen_width / 2 + 80;
}

MessageBoxLayout LayoutMessageBox(const MessageBoxMetrics& m) {
  MessageBoxLayout layout;
  int text_left = kMargin;
  int area_height = m.text_height;
  if (m.has_icon) {
    layout.icon = {kMargin, kMargin, kMargin + m.icon_width, kMargin + m.icon_height};
    text_left += m.icon_width + kIconGap;
    area_height = std::max(area_height, m.icon_height);
  }
  // A text shorter than the icon is centred on it.
  const int text_top = kMargin + (area_height - m.text_height) / 2;
  layout.text = {text_left, text_top, text_left + m.text_width, text_top + m.text_height};
  const int area_right = text_left + m.text_width + kTextAreaExtraWidth;
  const int area_bottom = kMargin + area_height + kTextAreaExtraHeight;

  const int count = std::max(m.button_count, 0);
  const int button_width = m.wide_buttons ? kWideButtonWidth : kButtonWidth;
  const int row_width = count * button_width + std::max(count - 1, 0) * kButtonGap;
  layout.client_width = std::max(area_right, row_width + kRowSideMargins);
  const int row_top = area_bottom + kRowGap;
  int x = (layout.client_width - row_width) / 2;
  for (int i = 0; i < count; ++i) {
    layout.buttons.push_back({x, row_top, x + button_width, row_top + kButtonHeight});
    x += button_width + kButtonGap;
  }
  layout.client_height = row_top + kButtonHeight + kBottomMargin;
  return layout;
}

}  // namespace toolkit
