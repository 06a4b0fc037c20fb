/* Test helper run beside Quennavar under Wine: pretends to be the shell.
 *   poke taskbar       announce a new taskbar, as Explorer does after a restart
 *   poke close         close the settings window, which ends the program
 *   poke flood N M     N tray notifications and M tray menus, then print the
 *                      program's handle count and memory before and after */
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define WM_TRAYNOTIFY (WM_USER + 119)

static HWND settings_window(void) {
  HWND window = NULL;
  while ((window = FindWindowExA(NULL, window, "QuennavarWindow", "Quennavar")) != NULL)
    if (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) return window;
  return NULL;
}

static void measure(HANDLE process, const char* when) {
  PROCESS_MEMORY_COUNTERS memory = {sizeof memory};
  DWORD handles = 0;
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  GetProcessHandleCount(process, &handles);
  printf("%s handles=%lu private=%lu working=%lu\n", when, (unsigned long)handles,
         (unsigned long)memory.PagefileUsage, (unsigned long)memory.WorkingSetSize);
  fflush(stdout);
}

int main(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "taskbar") == 0) {
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    return 0;
  }
  HWND window = settings_window();
  if (!window) return 3;
  if (argc >= 2 && strcmp(argv[1], "close") == 0) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
  }
  if (argc < 4 || strcmp(argv[1], "flood") != 0) return 2;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return 4;
  int notifications = atoi(argv[2]), menus = atoi(argv[3]);

  measure(process, "before");
  for (int i = 0; i < notifications; ++i)
    SendMessageA(window, WM_TRAYNOTIFY, 0, i % 2 ? WM_MOUSEMOVE : WM_LBUTTONUP);
  for (int i = 0; i < menus; ++i) {
    PostMessageA(window, WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
    HWND menu = NULL;
    for (int wait = 0; wait < 500 && !(menu = FindWindowA("#32768", NULL)); ++wait) Sleep(2);
    if (!menu) return 5;
    while (IsWindowVisible(menu)) {
      PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
      Sleep(2);
    }
  }
  SendMessageA(window, WM_NULL, 0, 0); /* everything before it has been handled */
  measure(process, "after");
  return 0;
}
