// In-memory dialog templates (see dialog_template.h).
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#include "toolkit/dialog_template.h"

namespace {

void PushDword(std::vector<std::uint16_t>& w, std::uint32_t v) {
  // Templates are little-endian: the low word comes first.
  w.push_back(static_cast<std::uint16_t>(v & 0xFFFFu));
  w.push_back(static_cast<std::uint16_t>(v >> 16));
}

void PushShort(std::vector<std::uint16_t>& w, short v) {
  w.push_back(static_cast<std::uint16_t>(v));
}

void PushString(std::vector<std::uint16_t>& w, const std::u16string& s) {
  for (char16_t c : s) w.push_back(c);
  w.push_back(0);
}

void AlignDword(std::vector<std::uint16_t>& w) {
  if (w.size() % 2 != 0) w.push_back(0);
}

}  // namespace

CDialogTemplateItem::CDialogTemplateItem(ClassAtom atom, std::uint16_t id, std::uint32_t style,
                                         short x, short y, short cx, short cy, std::u16string text)
    : atom_(atom), id_(id), style_(style), x_(x), y_(y), cx_(cx), cy_(cy), text_(std::move(text)) {}

CDialogTemplateItem::CDialogTemplateItem(std::u16string class_name, std::uint16_t id,
                                         std::uint32_t style, short x, short y, short cx, short cy,
                                         std::u16string text)
    : class_name_(std::move(class_name)),
      id_(id),
      style_(style),
      x_(x),
      y_(y),
      cx_(cx),
      cy_(cy),
      text_(std::move(text)) {}

void CDialogTemplateItem::AppendTo(std::vector<std::uint16_t>& words) const {
  AlignDword(words);
  PushDword(words, style_);
  PushDword(words, ex_style_);
  PushShort(words, x_);
  PushShort(words, y_);
  PushShort(words, cx_);
  PushShort(words, cy_);
  words.push_back(id_);
  if (class_name_.empty()) {
    words.push_back(0xFFFF);  // an atom follows
    words.push_back(atom_);
  } else {
    PushString(words, class_name_);
  }
  PushString(words, text_);
  words.push_back(0);  // no creation data
}

void CDialogTemplateBuilder::SetDialog(std::uint32_t style, std::uint32_t ex_style, short x,
                                       short y, short cx, short cy, std::u16string caption) {
  style_ = style;
  ex_style_ = ex_style;
  x_ = x;
  y_ = y;
  cx_ = cx;
  cy_ = cy;
  caption_ = std::move(caption);
}

void CDialogTemplateBuilder::SetFont(std::uint16_t point_size, std::u16string face) {
  has_font_ = true;
  point_size_ = point_size;
  face_ = std::move(face);
}

std::vector<std::uint16_t> CDialogTemplateBuilder::Build() const {
  std::vector<std::uint16_t> words;
  PushDword(words, has_font_ ? (style_ | kDsSetFont) : (style_ & ~kDsSetFont));
  PushDword(words, ex_style_);
  words.push_back(static_cast<std::uint16_t>(items_.size()));
  PushShort(words, x_);
  PushShort(words, y_);
  PushShort(words, cx_);
  PushShort(words, cy_);
  words.push_back(0);  // no menu
  words.push_back(0);  // the predefined dialog class
  PushString(words, caption_);
  if (has_font_) {
    words.push_back(point_size_);
    PushString(words, face_);
  }
  for (const CDialogTemplateItem& item : items_) item.AppendTo(words);
  return words;
}
