#include <windows.h>

#include "app/quennavar.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  quennavar::Win32Platform os;
  return quennavar::Quennavar(os);
}
