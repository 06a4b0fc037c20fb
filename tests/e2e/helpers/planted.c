/* Test helper: a library planted beside the program under the name of a
 * system library, as a download can leave one. Once loaded, it leaves a
 * mark beside itself: its own path with ".loaded" added. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  char mark[MAX_PATH + 8];
  DWORD length;
  (void)reserved;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  length = GetModuleFileNameA(self, mark, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    HANDLE file;
    lstrcatA(mark, ".loaded");
    file = CreateFileA(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  return TRUE;
}
