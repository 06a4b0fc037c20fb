/* Test helper run beside Quennavar under Wine: pretends to be the shell.
 *   poke taskbar       announce a new taskbar, as Explorer does after a restart
 *   poke close         close the settings window, which ends the program
 *   poke keyboard      print the class and title (in UTF-8) of the active window,
 *                      once the keyboard focus is in it: where a key pressed now goes
 *   poke flood N M     N tray notifications and M tray menus, then print the
 *                      program's handle count and memory before and after
 *   poke notify M      a tray notification with mouse message M, as a click does;
 *                      then print the local time it was sent at
 *   poke command ID    the tray menu's command ID, as choosing the item does
 *   poke click ID      a click on the settings window's button ID
 *   poke room ID       print how wide the time picker ID's text is in the
 *                      window's font, and how much room its arrows leave it
 *   poke rect          print the settings window's left, top, right and bottom
 *                      and its client area's width and height, in pixels
 *   poke balloon       print "shown" where the shell shows a balloon: a
 *                      visible tooltip window in the balloon style
 *   poke monitors      print each monitor's rectangle and work area, then
 *                      the taskbar's rectangle where the shell has one
 *   poke move-taskbar L T R B
 *                      move the shell's taskbar window to that rectangle
 *   poke load NAME     print "loaded" where LoadLibraryA finds a library by
 *                      that name, as a program in poke's folder would
 * Options, after the command's own arguments:
 *   --in FOLDER        the copy of the program whose file's path holds
 *                      FOLDER, where several run
 *   --at H:M:S.MS      first wait until the clock shows that time */
#include <windows.h>
/* after windows.h, which it needs */
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "app/tray_notify.h"

static BOOL CALLBACK print_monitor(HMONITOR monitor, HDC dc, LPRECT rect, LPARAM unused) {
  MONITORINFO info = {.cbSize = sizeof info};
  (void)dc, (void)rect, (void)unused;
  GetMonitorInfoA(monitor, &info);
  printf("monitor %ld %ld %ld %ld work %ld %ld %ld %ld\n", info.rcMonitor.left, info.rcMonitor.top,
         info.rcMonitor.right, info.rcMonitor.bottom, info.rcWork.left, info.rcWork.top,
         info.rcWork.right, info.rcWork.bottom);
  return TRUE;
}

static BOOL CALLBACK find_balloon(HWND window, LPARAM found) {
  char name[32] = "";
  GetClassNameA(window, name, sizeof name);
  if (strcmp(name, "tooltips_class32") == 0 && IsWindowVisible(window) &&
      (GetWindowLongA(window, GWL_STYLE) & 0x40 /* TTS_BALLOON */)) {
    *(BOOL*)found = TRUE;
    return FALSE;
  }
  return TRUE;
}

static BOOL runs_from(HWND window, const char* folder) {
  DWORD pid = 0;
  char path[MAX_PATH] = "";
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return FALSE;
  GetModuleFileNameExA(process, NULL, path, sizeof path);
  CloseHandle(process);
  return strstr(path, folder) != NULL;
}

/* The settings window of the copy run from folder, or of any copy. */
static HWND settings_window(const char* folder) {
  HWND window = NULL;
  while ((window = FindWindowExA(NULL, window, "QuennavarWindow", "Quennavar")) != NULL)
    if ((GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) && (!folder || runs_from(window, folder)))
      return window;
  return NULL;
}

/* Waits until the clock shows "H:M:S.MS", or has passed it by less than 12 hours. */
static void wait_for_clock(const char* at) {
  int hour, minute, second, millisecond;
  if (!at || sscanf(at, "%d:%d:%d.%d", &hour, &minute, &second, &millisecond) != 4) return;
  for (;;) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    long ahead =
        ((hour - now.wHour) * 3600L + (minute - now.wMinute) * 60L + (second - now.wSecond)) *
            1000L +
        (millisecond - now.wMilliseconds);
    ahead = (ahead % 86400000L + 86400000L) % 86400000L;
    if (ahead == 0 || ahead > 43200000L) return;
    Sleep(5);
  }
}

/* In the program's own pixels: it is aware of the screen's DPI, and a
   helper that is not would be shown coordinates scaled to 96. */
static void be_dpi_aware(void) {
  typedef BOOL(WINAPI * Aware)(void);
  Aware aware = (Aware)(void*)GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware");
  if (aware) aware();
}

static const char* option(int argc, char** argv, const char* name) {
  for (int i = 2; i + 1 < argc; ++i)
    if (strcmp(argv[i], name) == 0) return argv[i + 1];
  return NULL;
}

/* SYSTEM_HANDLE_INFORMATION: every handle of every process, from ntdll. */
typedef struct {
  ULONG OwnerPid;
  BYTE ObjectType, HandleFlags;
  USHORT HandleValue;
  PVOID ObjectPointer;
  ULONG AccessMask;
} HandleEntry;

static unsigned long count_handles(DWORD pid) {
  typedef LONG(WINAPI * Query)(ULONG, PVOID, ULONG, PULONG);
  /* Through void*: a direct cast between the function types warns on x64
     (-Wcast-function-type), an error here. */
  Query query =
      (Query)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
  ULONG size = 1 << 20, needed = 0;
  for (;;) {
    BYTE* buffer = malloc(size);
    LONG status = query(16 /* SystemHandleInformation */, buffer, size, &needed);
    if (status == 0) {
      ULONG count = *(ULONG*)buffer, mine = 0;
      HandleEntry* entries = (HandleEntry*)(buffer + sizeof(ULONG_PTR));
      for (ULONG i = 0; i < count; ++i)
        if (entries[i].OwnerPid == pid) ++mine;
      free(buffer);
      return mine;
    }
    free(buffer);
    if (size >= (1u << 28)) return 0;
    size *= 2;
  }
}

static void measure(HANDLE process, DWORD pid, const char* when) {
  PROCESS_MEMORY_COUNTERS memory = {.cb = sizeof memory};
  unsigned long handles = count_handles(pid);
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  printf("%s handles=%lu gdi=%lu user=%lu private=%lu working=%lu\n", when, handles,
         (unsigned long)GetGuiResources(process, GR_GDIOBJECTS),
         (unsigned long)GetGuiResources(process, GR_USEROBJECTS),
         (unsigned long)memory.PagefileUsage, (unsigned long)memory.WorkingSetSize);
  fflush(stdout);
}

int main(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "taskbar") == 0) {
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    return 0;
  }
  if (argc >= 2 && strcmp(argv[1], "keyboard") == 0) {
    GUITHREADINFO info = {.cbSize = sizeof info};
    char name[64] = "", title[768] = "";
    WCHAR wide[256] = L"";
    if (!GetGUIThreadInfo(0, &info) || !info.hwndActive || !info.hwndFocus ||
        (info.hwndFocus != info.hwndActive && !IsChild(info.hwndActive, info.hwndFocus)))
      return 1;
    GetClassNameA(info.hwndActive, name, sizeof name);
    GetWindowTextW(info.hwndActive, wide, 256);
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, title, sizeof title, NULL, NULL);
    printf("%s\t%s\n", name, title);
    return 0;
  }
  if (argc >= 2 && strcmp(argv[1], "balloon") == 0) {
    BOOL found = FALSE;
    EnumWindows(find_balloon, (LPARAM)&found);
    if (found) printf("shown\n");
    return 0;
  }
  if (argc >= 2 && strcmp(argv[1], "monitors") == 0) {
    HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
    RECT at;
    EnumDisplayMonitors(NULL, NULL, print_monitor, 0);
    if (taskbar && GetWindowRect(taskbar, &at))
      printf("taskbar %ld %ld %ld %ld\n", at.left, at.top, at.right, at.bottom);
    return 0;
  }
  if (argc >= 6 && strcmp(argv[1], "move-taskbar") == 0) {
    int left = atoi(argv[2]), top = atoi(argv[3]);
    HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
    return taskbar && SetWindowPos(taskbar, NULL, left, top, atoi(argv[4]) - left,
                                   atoi(argv[5]) - top, SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 8;
  }
  if (argc >= 3 && strcmp(argv[1], "load") == 0) {
    if (LoadLibraryA(argv[2])) printf("loaded\n");
    return 0;
  }
  HWND window = settings_window(option(argc, argv, "--in"));
  if (!window) return 3;
  if (argc >= 2 && strcmp(argv[1], "close") == 0) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
  }
  if (argc >= 3 && strcmp(argv[1], "notify") == 0) {
    SYSTEMTIME sent;
    wait_for_clock(option(argc, argv, "--at"));
    GetLocalTime(&sent);
    PostMessageA(window, WM_TRAYNOTIFY, 0, atoi(argv[2]));
    printf("sent %02d:%02d:%02d.%03d\n", sent.wHour, sent.wMinute, sent.wSecond,
           sent.wMilliseconds);
    return 0;
  }
  if (argc >= 3 && strcmp(argv[1], "command") == 0) {
    PostMessageA(window, WM_COMMAND, atoi(argv[2]), 0);
    return 0;
  }
  if (argc >= 3 && strcmp(argv[1], "click") == 0) {
    int id = atoi(argv[2]);
    HWND button = GetDlgItem(window, id);
    if (!button) return 6;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
    return 0;
  }
  if (argc >= 3 && strcmp(argv[1], "room") == 0) {
    /* The program's font, made as it makes it; the picker draws its text a
       few pixels in from its left edge, and its arrows stand at its right. */
    char text[64] = "";
    HWND picker = GetDlgItem(window, atoi(argv[2]));
    HWND arrows = picker ? FindWindowExA(picker, NULL, "msctls_updown32", NULL) : NULL;
    if (!arrows) return 6;
    be_dpi_aware();
    SendMessageA(picker, WM_GETTEXT, sizeof text, (LPARAM)text);
    HDC dc = CreateCompatibleDC(NULL);
    HFONT font =
        CreateFontA(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                    FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size;
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    RECT inner, beside;
    GetWindowRect(picker, &inner);
    GetWindowRect(arrows, &beside);
    printf("%s\t%ld %ld\n", text, (long)size.cx, (long)(beside.left - inner.left));
    return 0;
  }
  if (argc >= 2 && strcmp(argv[1], "rect") == 0) {
    RECT outer, client;
    be_dpi_aware();
    if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client)) return 7;
    printf("%ld %ld %ld %ld %ld %ld\n", (long)outer.left, (long)outer.top, (long)outer.right,
           (long)outer.bottom, (long)client.right, (long)client.bottom);
    return 0;
  }
  if (argc < 4 || strcmp(argv[1], "flood") != 0) return 2;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return 4;
  int notifications = atoi(argv[2]), menus = atoi(argv[3]);

  measure(process, pid, "before");
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
  measure(process, pid, "after");
  return 0;
}
