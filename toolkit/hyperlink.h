// CHyperLink: turns a static text control into a link that opens its target
// with the shell: blue, purple once visited, underlined under the mouse, with
// the hand cursor and a focus rectangle. Only the text reacts to the mouse:
// the rest of the control lets it through to what lies beneath.
// Tested by tests/toolkit/toolkit_gui_test.cpp.
#pragma once
#include <windows.h>

#include <string>

class CHyperLink {
 public:
  CHyperLink() = default;
  CHyperLink(const CHyperLink&) = delete;
  CHyperLink& operator=(const CHyperLink&) = delete;
  virtual ~CHyperLink();
  // Hover started or focus gained; hover ended or focus lost.
  virtual void OnHover() {}
  virtual void OnLeave() {}

  [[nodiscard]] bool Attach(HWND static_control, std::wstring target);
  void Detach();
  HWND Handle() const { return hwnd_; }
  // Opens the target with the verb "open"; the link counts as visited once
  // the shell has accepted it.
  [[nodiscard]] bool Open();
  bool Visited() const { return visited_; }
  void SetVisited(bool visited);

 private:
  static LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  static void SubclassParent(HWND parent);
  static void UnsubclassParent(HWND parent);
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);
  void StartHover();
  void EndHover();
  void Repaint();
  void DrawFocus();
  // Where the text is drawn, in client coordinates.
  RECT TextRect() const;
  bool OverText(LPARAM client_point) const;

  HWND hwnd_ = nullptr;
  WNDPROC previous_proc_ = nullptr;
  std::wstring target_;
  HFONT normal_font_ = nullptr;
  bool visited_ = false;
  bool hovering_ = false;
  bool pressed_ = false;  // the left button went down on the text
  bool focused_ = false;
};
