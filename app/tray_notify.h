/* The message the tray icon's notifications arrive as, the mouse message in
 * its lParam. Plain C too: the test helper that stands in for the shell
 * sends the very same number. */
#pragma once

enum { WM_TRAYNOTIFY = 0x0400 + 119 }; /* WM_USER + 119 */
