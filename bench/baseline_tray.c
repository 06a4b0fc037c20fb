/* The least a tray program can be: a hidden window, its icon (from its own
 * resources, Quennavar's icon) in the notification area, and a message loop
 * that sleeps until something happens: the window class every Win32 program
 * starts with, icon and arrow cursor. What Quennavar's tray start and idle
 * cost are measured against. */
#include <windows.h>
/* shellapi.h needs the types of windows.h */
#include <shellapi.h>

#define WM_TRAYNOTIFY (WM_USER + 1)

static NOTIFYICONDATAA icon;

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      Shell_NotifyIconA(NIM_DELETE, &icon);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  WNDCLASSA windowClass = {0};
  HWND window;
  MSG message;
  (void)previous, (void)commandLine, (void)show;

  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "MAINICON");
  windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
  windowClass.lpszClassName = "BaselineTray";
  RegisterClassA(&windowClass);
  /* Never shown; the title bar is what close_window looks for. */
  window = CreateWindowExA(0, "BaselineTray", "Baseline", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, NULL,
                           NULL, instance, NULL);

  icon.cbSize = sizeof icon;
  icon.hWnd = window;
  icon.uID = 1;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = WM_TRAYNOTIFY;
  icon.hIcon = windowClass.hIcon;
  lstrcpynA(icon.szTip, "Baseline", sizeof icon.szTip);
  Shell_NotifyIconA(NIM_ADD, &icon);

  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
