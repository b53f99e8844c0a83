// control_gallery: shows the control gallery until it is closed.
#include "control_gallery.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CControlGallery gallery;
  if (!gallery.Create(true)) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
