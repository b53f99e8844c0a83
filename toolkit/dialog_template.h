// Dialog templates built in memory (the DLGTEMPLATE layout that
// DialogBoxIndirectParamW reads), for dialogs without a resource such as the
// message box with custom buttons. Portable: it only lays out words.
// Tested by tests/toolkit/toolkit_logic_test.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One control of a template. Positions and sizes are in dialog units.
class CDialogTemplateItem {
 public:
  // The predefined control classes, named by their atoms in a template.
  enum ClassAtom : std::uint16_t {
    kButton = 0x80,
    kEdit = 0x81,
    kStatic = 0x82,
    kListBox = 0x83,
    kScrollBar = 0x84,
    kComboBox = 0x85,
  };

  CDialogTemplateItem(ClassAtom atom, std::uint16_t id, std::uint32_t style, short x, short y,
                      short cx, short cy, std::u16string text);
  // A control of a registered class named by string ("RichEdit20W").
  CDialogTemplateItem(std::u16string class_name, std::uint16_t id, std::uint32_t style, short x,
                      short y, short cx, short cy, std::u16string text);

  void SetExStyle(std::uint32_t ex_style) { ex_style_ = ex_style; }
  std::uint16_t Id() const { return id_; }

  // Appends the item, starting on a DWORD boundary of `words`.
  void AppendTo(std::vector<std::uint16_t>& words) const;

 private:
  std::uint16_t atom_ = 0;
  std::u16string class_name_;
  std::uint16_t id_ = 0;
  std::uint32_t style_ = 0;
  std::uint32_t ex_style_ = 0;
  short x_ = 0, y_ = 0, cx_ = 0, cy_ = 0;
  std::u16string text_;
};

class CDialogTemplateBuilder {
 public:
  static constexpr std::uint32_t kDsSetFont = 0x40;

  void SetDialog(std::uint32_t style, std::uint32_t ex_style, short x, short y, short cx, short cy,
                 std::u16string caption);
  // The dialog font; adds DS_SETFONT to the style.
  void SetFont(std::uint16_t point_size, std::u16string face);
  void AddItem(CDialogTemplateItem item) { items_.push_back(std::move(item)); }
  std::size_t ItemCount() const { return items_.size(); }

  // The finished template. The vector's storage comes from operator new and
  // so meets the DWORD alignment a template needs.
  std::vector<std::uint16_t> Build() const;

 private:
  std::uint32_t style_ = 0;
  std::uint32_t ex_style_ = 0;
  short x_ = 0, y_ = 0, cx_ = 0, cy_ = 0;
  std::u16string caption_;
  bool has_font_ = false;
  std::uint16_t point_size_ = 0;
  std::u16string face_;
  std::vector<CDialogTemplateItem> items_;
};
