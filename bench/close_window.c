/* Ends a tray program the way the user's "Exit" would, so that its icon
 * leaves the notification area and the next run starts from the same desktop:
 *   close_window CLASS   posts WM_CLOSE to every top-level window of that class
 *                        that has a title bar: the main window, not a hidden
 *                        owner */
#include <windows.h>

int main(int argc, char** argv) {
  HWND window = NULL;
  int closed = 0;
  if (argc != 2) return 2;
  while ((window = FindWindowExA(NULL, window, argv[1], NULL)) != NULL) {
    if (!(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION)) continue;
    PostMessageA(window, WM_CLOSE, 0, 0);
    ++closed;
  }
  return closed ? 0 : 1;
}
