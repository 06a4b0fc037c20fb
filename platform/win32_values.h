// Win32 values the logic passes through the seam, under their system names.
#pragma once

#include <cstdint>

namespace quennavar {

inline constexpr std::uint32_t kVerPlatformWin32Windows = 1;
inline constexpr std::uint32_t kVerPlatformWin32Nt = 2;
inline constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
inline constexpr std::uint32_t kTokenQuery = 0x08;
inline constexpr int kTokenPrivilegesClass = 3;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kSePrivilegeEnabled = 2;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kMbIconStop = 0x10;
inline constexpr std::uint32_t kMbOk = 0x00;
inline constexpr std::uint32_t kGenericRead = 0x80000000;
inline constexpr std::uint32_t kFileShareRead = 0x1;
inline constexpr std::uint32_t kFileShareWrite = 0x2;
inline constexpr std::uint32_t kFileShareDelete = 0x4;
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kDriveNoRootDir = 1;
inline constexpr std::uint32_t kDriveRemovable = 2;
inline constexpr std::uint32_t kDriveFixed = 3;
inline constexpr std::uint32_t kDriveRemote = 4;
inline constexpr std::uint32_t kDriveCdrom = 5;
inline constexpr std::uint32_t kDriveRamdisk = 6;
inline constexpr std::uint32_t kMsgfltAllow = 1;
inline constexpr std::uint32_t kMsgfltAdd = 1;

inline constexpr std::uint32_t kWmDestroy = 0x0002;
inline constexpr std::uint32_t kWmNcCreate = 0x0081;
inline constexpr std::uint32_t kWmNcDestroy = 0x0082;
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmQueryEndSession = 0x0011;
inline constexpr std::uint32_t kWmEndSession = 0x0016;
inline constexpr std::intptr_t kEndSessionCloseApp = 0x1;
inline constexpr std::uint32_t kWmSettingChange = 0x001A;
inline constexpr std::uint32_t kWmNull = 0x0000;
inline constexpr std::uint32_t kWmCommand = 0x0111;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;

inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSmCxIcon = 11;
inline constexpr int kSmCyIcon = 12;
inline constexpr int kSmCxSmIcon = 49;
inline constexpr int kSmCySmIcon = 50;
inline constexpr std::uint32_t kMonitorDefaultToPrimary = 1;
inline constexpr int kLogPixelsY = 90;
inline constexpr std::uint32_t kSwpNoSize = 0x0001;
inline constexpr std::uint32_t kSwpNoZOrder = 0x0004;
inline constexpr std::uint32_t kSwpNoActivate = 0x0010;

inline constexpr std::uint32_t kMfString = 0x0000;
inline constexpr std::uint32_t kMfGrayed = 0x0001;
inline constexpr std::uint32_t kMfSeparator = 0x0800;
inline constexpr std::uint32_t kMfByCommand = 0x0000;
inline constexpr std::uint32_t kMfEnabled = 0x0000;
inline constexpr std::uint32_t kMfUnchecked = 0x0000;
inline constexpr std::uint32_t kMfChecked = 0x0008;
inline constexpr std::uint32_t kMnsCheckOrBmp = 0x04000000;
inline constexpr std::uint32_t kTpmLeftAlign = 0x0000;
inline constexpr std::uint32_t kTpmRightButton = 0x0002;

inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
inline constexpr std::uint32_t kNifInfo = 0x10;
inline constexpr std::uint32_t kNiifWarning = 2;
// What the shell sends as the icon's callback message about its balloon.
inline constexpr std::uint32_t kNinBalloonHide = 0x0400 + 3;
inline constexpr std::uint32_t kNinBalloonTimeout = 0x0400 + 4;
inline constexpr std::uint32_t kNinBalloonUserClick = 0x0400 + 5;
inline constexpr std::uint32_t kTimeNoSeconds = 2;

inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsExLayered = 0x00080000;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
inline constexpr std::uint32_t kWsGroup = 0x00020000;

inline constexpr std::uint32_t kBsPushButton = 0x0;
inline constexpr std::uint32_t kBsAutoCheckBox = 0x3;
inline constexpr std::uint32_t kBsAutoRadioButton = 0x9;
inline constexpr std::uint32_t kBsGroupBox = 0x7;
inline constexpr std::uint32_t kSsLeft = 0x0;
inline constexpr std::uint32_t kSsIcon = 0x3;
inline constexpr std::uint32_t kDtsTimeFormat = 0x9;
inline constexpr std::uint32_t kTtsAlwaysTip = 0x1;
inline constexpr std::uint32_t kIccDateClasses = 0x100;

inline constexpr std::uint32_t kWmShowWindow = 0x0018;
inline constexpr std::uint32_t kWmSetFont = 0x0030;
inline constexpr std::uint32_t kWmNotify = 0x004E;
inline constexpr std::uint32_t kWmCtlColorStatic = 0x0138;
inline constexpr std::uint32_t kStmSetIcon = 0x0170;
inline constexpr std::uint32_t kBmGetCheck = 0x00F0;
inline constexpr std::uint32_t kBmSetCheck = 0x00F1;
inline constexpr std::uint32_t kBstChecked = 1;
inline constexpr std::uint32_t kBnClicked = 0;
inline constexpr std::int32_t kDtnDateTimeChange = -759;
inline constexpr std::uint32_t kLwaAlpha = 0x2;
inline constexpr std::uint32_t kRdwInvalidate = 0x0001;
inline constexpr std::uint32_t kRdwErase = 0x0004;
inline constexpr std::uint32_t kRdwAllChildren = 0x0080;
inline constexpr std::uint32_t kRdwUpdateNow = 0x0100;
inline constexpr int kTransparent = 1;
inline constexpr int kColorBtnFace = 15;
inline constexpr int kFwNormal = 400;
inline constexpr int kFwBold = 700;

// LCTYPE values of the regional settings the program reads.
enum class LocaleItem : std::uint32_t {
  SDate = 0x1D,
  STime = 0x1E,
  SShortDate = 0x1F,
  ITime = 0x23,
  ITLZero = 0x25,
  S1159 = 0x28,
  S2359 = 0x29,
  ITimeMarkPosn = 0x1005,
  STimeFormat = 0x1003,
  SShortTime = 0x79,  // Windows 7 and later
  SDecimal = 0x0E,
  SDayName1 = 0x2A,  // Monday; the next six follow in order
  SAbbrevDayName1 = 0x31,
  SMonthName1 = 0x38,  // January; the next eleven follow in order
  SAbbrevMonthName1 = 0x44,
};

}  // namespace quennavar
