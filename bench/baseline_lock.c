/* The least a program can do to lock the workstation: what "Quennavar /lock"
 * is measured against. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)instance, (void)previous, (void)commandLine, (void)show;
  LockWorkStation();
  return 0;
}
