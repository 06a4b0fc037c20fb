// The values the logic passes through the seam are hand copies of the
// system's: each is checked here against the system's own headers, which
// the logic never sees. Nothing here is called.

// Every value, whichever Windows brought it; the program still asks for
// each where it is used whether the system has it.
#undef WINVER
#undef _WIN32_WINNT
#undef _WIN32_IE
#define WINVER 0x0A00
#define _WIN32_WINNT 0x0A00
#define _WIN32_IE 0x0A00
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <shellapi.h>

#include "platform/system_libraries.h"
#include "platform/win32_values.h"

namespace quennavar {

// Versions, privileges, the registry, files and drives.
static_assert(kVerPlatformWin32Windows == VER_PLATFORM_WIN32_WINDOWS);
static_assert(kVerPlatformWin32Nt == VER_PLATFORM_WIN32_NT);
static_assert(kTokenAdjustPrivileges == TOKEN_ADJUST_PRIVILEGES);
static_assert(kTokenQuery == TOKEN_QUERY);
static_assert(kTokenPrivilegesClass == ::TokenPrivileges);
static_assert(kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER);
static_assert(kSePrivilegeEnabled == SE_PRIVILEGE_ENABLED);
static_assert(kKeyAllAccess == KEY_ALL_ACCESS);
static_assert(kRegExpandSz == REG_EXPAND_SZ);
static_assert(kErrorSuccess == ERROR_SUCCESS);
static_assert(kMbIconStop == MB_ICONSTOP);
static_assert(kMbOk == MB_OK);
static_assert(kGenericRead == GENERIC_READ);
static_assert(kFileShareRead == FILE_SHARE_READ);
static_assert(kFileShareWrite == FILE_SHARE_WRITE);
static_assert(kFileShareDelete == FILE_SHARE_DELETE);
static_assert(kOpenExisting == OPEN_EXISTING);
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(kErrorPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(kDriveNoRootDir == DRIVE_NO_ROOT_DIR);
static_assert(kDriveRemovable == DRIVE_REMOVABLE);
static_assert(kDriveFixed == DRIVE_FIXED);
static_assert(kDriveRemote == DRIVE_REMOTE);
static_assert(kDriveCdrom == DRIVE_CDROM);
static_assert(kDriveRamdisk == DRIVE_RAMDISK);
static_assert(kMsgfltAllow == MSGFLT_ALLOW);
static_assert(kMsgfltAdd == MSGFLT_ADD);
static_assert(kLoadLibrarySearchSystem32 == LOAD_LIBRARY_SEARCH_SYSTEM32);
static_assert(kLoadWithAlteredSearchPath == LOAD_WITH_ALTERED_SEARCH_PATH);

// Messages, windows and menus.
static_assert(kWmDestroy == WM_DESTROY);
static_assert(kWmNcCreate == WM_NCCREATE);
static_assert(kWmNcDestroy == WM_NCDESTROY);
static_assert(kWmClose == WM_CLOSE);
static_assert(kWmQueryEndSession == WM_QUERYENDSESSION);
static_assert(kWmEndSession == WM_ENDSESSION);
static_assert(kEndSessionCloseApp == ENDSESSION_CLOSEAPP);
static_assert(kWmSettingChange == WM_SETTINGCHANGE);
static_assert(kWmNull == WM_NULL);
static_assert(kWmCommand == WM_COMMAND);
static_assert(kWmTimer == WM_TIMER);
static_assert(kWmLButtonDblClk == WM_LBUTTONDBLCLK);
static_assert(kWmRButtonDown == WM_RBUTTONDOWN);
static_assert(kSwHide == SW_HIDE);
static_assert(kSwShowNormal == SW_SHOWNORMAL);
static_assert(kSmCxIcon == SM_CXICON);
static_assert(kSmCyIcon == SM_CYICON);
static_assert(kSmCxSmIcon == SM_CXSMICON);
static_assert(kSmCySmIcon == SM_CYSMICON);
static_assert(kMonitorDefaultToPrimary == MONITOR_DEFAULTTOPRIMARY);
static_assert(kLogPixelsY == LOGPIXELSY);
static_assert(kSwpNoSize == SWP_NOSIZE);
static_assert(kSwpNoZOrder == SWP_NOZORDER);
static_assert(kSwpNoActivate == SWP_NOACTIVATE);
static_assert(kMfString == MF_STRING);
static_assert(kMfGrayed == MF_GRAYED);
static_assert(kMfSeparator == MF_SEPARATOR);
static_assert(kMfByCommand == MF_BYCOMMAND);
static_assert(kMfEnabled == MF_ENABLED);
static_assert(kMfUnchecked == MF_UNCHECKED);
static_assert(kMfChecked == MF_CHECKED);
static_assert(kMnsCheckOrBmp == MNS_CHECKORBMP);
static_assert(kTpmLeftAlign == TPM_LEFTALIGN);
static_assert(kTpmRightButton == TPM_RIGHTBUTTON);

// The notification area.
static_assert(kNimAdd == NIM_ADD);
static_assert(kNimModify == NIM_MODIFY);
static_assert(kNimDelete == NIM_DELETE);
static_assert(kNifMessage == NIF_MESSAGE);
static_assert(kNifIcon == NIF_ICON);
static_assert(kNifTip == NIF_TIP);
static_assert(kNifInfo == NIF_INFO);
static_assert(kNiifWarning == NIIF_WARNING);
static_assert(kNinBalloonHide == NIN_BALLOONHIDE);
static_assert(kNinBalloonTimeout == NIN_BALLOONTIMEOUT);
static_assert(kNinBalloonUserClick == NIN_BALLOONUSERCLICK);
static_assert(kTimeNoSeconds == TIME_NOSECONDS);

// Window and control styles.
static_assert(kWsPopup == WS_POPUP);
static_assert(kWsCaption == WS_CAPTION);
static_assert(kWsSysMenu == WS_SYSMENU);
static_assert(kWsExLayered == WS_EX_LAYERED);
static_assert(kWsChild == WS_CHILD);
static_assert(kWsVisible == WS_VISIBLE);
static_assert(kWsTabStop == WS_TABSTOP);
static_assert(kWsGroup == WS_GROUP);
static_assert(kBsPushButton == BS_PUSHBUTTON);
static_assert(kBsAutoCheckBox == BS_AUTOCHECKBOX);
static_assert(kBsAutoRadioButton == BS_AUTORADIOBUTTON);
static_assert(kBsGroupBox == BS_GROUPBOX);
static_assert(kSsLeft == SS_LEFT);
static_assert(kSsIcon == SS_ICON);
static_assert(kDtsTimeFormat == DTS_TIMEFORMAT);
static_assert(kTtsAlwaysTip == TTS_ALWAYSTIP);
static_assert(kIccDateClasses == ICC_DATE_CLASSES);

// What controls are told and tell, and how they are drawn.
static_assert(kWmShowWindow == WM_SHOWWINDOW);
static_assert(kWmSetFont == WM_SETFONT);
static_assert(kWmNotify == WM_NOTIFY);
static_assert(kWmCtlColorStatic == WM_CTLCOLORSTATIC);
static_assert(kStmSetIcon == STM_SETICON);
static_assert(kBmGetCheck == BM_GETCHECK);
static_assert(kBmSetCheck == BM_SETCHECK);
static_assert(kBstChecked == BST_CHECKED);
static_assert(kBnClicked == BN_CLICKED);
static_assert(kDtnDateTimeChange == static_cast<std::int32_t>(DTN_DATETIMECHANGE));
static_assert(kLwaAlpha == LWA_ALPHA);
static_assert(kRdwInvalidate == RDW_INVALIDATE);
static_assert(kRdwErase == RDW_ERASE);
static_assert(kRdwAllChildren == RDW_ALLCHILDREN);
static_assert(kRdwUpdateNow == RDW_UPDATENOW);
static_assert(kTransparent == TRANSPARENT);
static_assert(kColorBtnFace == COLOR_BTNFACE);
static_assert(kFwNormal == FW_NORMAL);
static_assert(kFwBold == FW_BOLD);

// The regional settings read.
constexpr LCTYPE Lc(LocaleItem item) { return static_cast<LCTYPE>(item); }
static_assert(Lc(LocaleItem::SDate) == LOCALE_SDATE);
static_assert(Lc(LocaleItem::STime) == LOCALE_STIME);
static_assert(Lc(LocaleItem::SShortDate) == LOCALE_SSHORTDATE);
static_assert(Lc(LocaleItem::ITime) == LOCALE_ITIME);
static_assert(Lc(LocaleItem::ITLZero) == LOCALE_ITLZERO);
static_assert(Lc(LocaleItem::S1159) == LOCALE_S1159);
static_assert(Lc(LocaleItem::S2359) == LOCALE_S2359);
static_assert(Lc(LocaleItem::ITimeMarkPosn) == LOCALE_ITIMEMARKPOSN);
static_assert(Lc(LocaleItem::STimeFormat) == LOCALE_STIMEFORMAT);
static_assert(Lc(LocaleItem::SShortTime) == LOCALE_SSHORTTIME);
static_assert(Lc(LocaleItem::SDecimal) == LOCALE_SDECIMAL);
static_assert(Lc(LocaleItem::SDayName1) == LOCALE_SDAYNAME1);
static_assert(Lc(LocaleItem::SAbbrevDayName1) == LOCALE_SABBREVDAYNAME1);
static_assert(Lc(LocaleItem::SMonthName1) == LOCALE_SMONTHNAME1);
static_assert(Lc(LocaleItem::SAbbrevMonthName1) == LOCALE_SABBREVMONTHNAME1);

}  // namespace quennavar
