// The rules of the message box with custom buttons that need no window: which
// buttons a style word asks for, their codes, the default and Escape buttons,
// the icon, the buttons' access keys, and the placement of text, icon and
// button rows in pixels at the window's DPI.
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/logic/anchor_layout.h"
#include "toolkit/logic/dpi_scale.h"

namespace toolkit {

// Bits of the style word, laid out like the system message box's.
inline constexpr unsigned kMbButtonSetMask = 0x0000000Fu;
inline constexpr unsigned kMbIconMask = 0x000000F0u;
inline constexpr unsigned kMbIconStop = 0x10u;
inline constexpr unsigned kMbIconQuestion = 0x20u;
inline constexpr unsigned kMbIconExclamation = 0x30u;
inline constexpr unsigned kMbIconInformation = 0x40u;
inline constexpr unsigned kMbDefButtonMask = 0x00000F00u;
inline constexpr unsigned kMbSystemModal = 0x00001000u;
// The program's own bit: show the box without playing the icon's sound.
inline constexpr unsigned kMbNoSound = 0x40000000u;

// Custom buttons answer these codes, in caption order.
inline constexpr int kFirstCustomButtonCode = 23;
inline constexpr int kMaxCustomButtons = 4;
// Longest custom caption list read, in characters.
inline constexpr std::size_t kMaxCustomButtonText = 259;

enum class MessageBoxIcon { kNone, kStop, kQuestion, kExclamation, kInformation };

// Stop for 0x10, question 0x20, information 0x40, exclamation for 0x30 and any
// other non-zero value, none for 0.
MessageBoxIcon IconFromStyle(unsigned style);

// A stop icon together with the system-modal bit goes to the system message
// box unchanged.
bool UsesSystemMessageBox(unsigned style);

struct MessageBoxButton {
  int code = 0;
  std::u16string caption;
  bool operator==(const MessageBoxButton&) const = default;
};

// The buttons from left to right: the captions of a non-empty custom list
// ("\n"-separated; at most four, codes 23 to 26, given access keys by
// AssignAccessKeys), else the standard set of the style's low four bits with
// the system box's codes.
std::vector<MessageBoxButton> MessageBoxButtons(unsigned style, std::u16string_view custom);

// Gives each caption without an access key ("&" before a character; "&&" is
// a plain ampersand) one not used by another caption: its first free capital
// letter, else its first free letter or digit. "Yes", "No", "Yes to All",
// "No to All" become "&Yes", "&No", "Yes to &All", "N&o to All".
void AssignAccessKeys(std::vector<std::u16string>& captions);

// The default button (first to fifth by the default-button bits), the first
// when the selected one does not exist.
int DefaultButtonIndex(unsigned style, int button_count);

// The code that Escape and the close box answer, or 0 when the box must not
// close that way (as with the system box, only a Cancel button or a lone
// button may be answered by Escape).
int EscapeButtonCode(const std::vector<MessageBoxButton>& buttons);

// The widest the message text may be laid out, in pixels: half the screen
// plus 80, or with an icon half the screen less the icon plus 64 (the 80 and
// 64 at 96 DPI).
int MaxMessageTextWidth(int screen_width, bool has_icon, int icon_width, int dpi = kBaseDpi);

// What the layout needs, measured at `dpi` with the box's font.
struct MessageBoxMetrics {
  int dpi = kBaseDpi;
  int text_width = 0;  // the widest line of the wrapped message
  int text_height = 0;
  bool has_icon = false;
  int icon_width = 32;
  int icon_height = 32;
  std::vector<int> caption_widths;  // one per button
  int max_text_width = 0;           // MaxMessageTextWidth; 0: no limit on the rows
  bool wide_buttons = false;
};

struct MessageBoxLayout {
  LayoutRect icon;  // empty when there is no icon
  LayoutRect text;
  std::vector<LayoutRect> buttons;
  int client_width = 0;
  int client_height = 0;
};

// Pixel layout in client coordinates, every measure given here at 96 DPI and
// scaled to m.dpi: the text area starts at (16, 16) and spans the measured
// text plus 28 wide and plus 21 high, the icon in its left part; the text's
// control is 8 wider than the text, so that no character is cut. The buttons
// (78 or 100 by 23, 6 apart; all as wide as the widest caption needs) sit 10
// below the text area, centred; the dialog is at least the widest row plus 32
// wide. Buttons that would make the dialog wider than its widest text area
// go on further rows, as evenly filled as possible.
MessageBoxLayout LayoutMessageBox(const MessageBoxMetrics& m);

}  // namespace toolkit
