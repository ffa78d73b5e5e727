// What crosses between the programs of the suite, defined once: the WM_COMMAND
// ids one program posts to another, the window titles they look each other up
// by, and the registry keys and value names more than one program reads or
// writes. A constant written twice drifts; every program uses these.
//
// Texts are UTF-8 source literals: Japanese ones become cp932 through J(...)
// (common/text.h) where they are used; ASCII ones are the same in both.
#pragma once

namespace peer {

// --- WM_COMMAND ids between programs (posted with lParam 0) ---------------
// planner -> unit
constexpr int kCmdUnitRescan = 1004;          // reread the schedule folder
constexpr int kCmdUnitReloadSettings = 1008;  // reread the reception settings
constexpr int kCmdUnitStartTime = 1012;       // start the time receiver, check the selector
// second copy of the unit -> the running one
constexpr int kCmdUnitShowWindow = 32771;
// the unit's own exit command (button, tray menu, idle exit)
constexpr int kCmdUnitExit = 1;
// unit -> planner: reread the results and redraw ("番組表の再表示")
constexpr int kCmdPlannerRefresh = 32798;
// second copy of the planner -> the running one: come to the front
constexpr int kCmdPlannerActivate = 32785;
// Each program's own exit command, posted by the installer before it replaces
// or removes the program files: the planner's "アプリケーションの終了(&X)" and the
// selector's "NEXAの終了" (the unit's is kCmdUnitExit).
constexpr int kCmdPlannerExit = 0xE141;
constexpr int kCmdSelectorExit = 105;

// --- Window titles ---------------------------------------------------------
constexpr const char* kUnitTitle = u8"データ受信ユニット(QuillonUnit)";
// Every reception window, and a fragment of the unit's main title as well.
constexpr const char* kReceptionTitle = u8"受信ユニット";
// The planner's main window title contains this.
constexpr const char* kPlannerTitleMark = u8"- 受信予約プログラム";
// The selector's window; titles are compared without regard to case.
constexpr const char* kSelectorWindowTitle = "nexa";
constexpr const char* kSelectorWindowName = "NEXA";
// The unit's program file, started from the planner's own folder.
constexpr const char* kUnitProgramFile = "Quillon.exe";

// --- The planner's key (HKEY_CURRENT_USER), shared by planner and unit -----
constexpr const char* kPlannerKey = "Software\\Lumivent\\TavoraPlanner";
// Sub-keys and the one value each folder key holds.
constexpr const char* kScheduleSubKey = "Schedule";  // schedule folder
constexpr const char* kHistorySubKey = "temp";       // history folder
constexpr const char* kDataSubKey = "path";          // data folder
constexpr const char* kFolderValue = "DataPath";
constexpr const char* kEnvironmentSubKey = "Environment";
// Values under "Environment" read by both programs (each with its own default).
constexpr const char* kPrepareTimeValue = "Prepare Time";
constexpr const char* kTimeoutValue = "Timeout";
constexpr const char* kAutoRunValue = "AutoRun";
constexpr const char* kShowStatusValue = u8"受信状況表示";
constexpr const char* kMessagePositionValue = u8"受信メッセージ位置";
// Values under "Environment" the unit writes and the planner reads.
constexpr const char* kTimeErrorValue = "TimeError";
constexpr const char* kInfoCountValue = "Info count";
constexpr const char* kLossRequestValue = "LossRequest";

// --- The selector's key (HKEY_LOCAL_MACHINE) -------------------------------
constexpr const char* kSelectorKey = "Software\\nexa\\config";
constexpr const char* kSelectorPathValue = "Path";      // channel list file
constexpr const char* kSelectorModeValue = "Mode";      // 0 switch, 1 ask, 2 hold; 4 bytes, binary
constexpr const char* kSelectorTagIdValue = "TagID";    // REG_DWORD, absent = -1
constexpr const char* kSelectorGroupValue = "DTCP";     // announcement group
constexpr const char* kSelectorPortValue = "PORT";      // announcement port
// The selector's window class, its tray callback message and its single-instance event.
constexpr const char* kSelectorClassName = "NEXA";
constexpr const char* kSelectorTrayMessage = "NEXA_TaskTrayMessage";
constexpr const char* kSelectorRunningEvent = "NEXA_RUNNING";

// --- The multicast routing driver's key (HKEY_LOCAL_MACHINE) ---------------
// It publishes the wanted sessions; the selector tells it the board interface.
constexpr const char* kRouterKey = "System\\CurrentControlSet\\Services\\VxD\\MRELAY";
constexpr const char* kRouterSessionsValue = "multicast sessions";    // REG_BINARY, 12-byte records
constexpr const char* kRouterInterfaceValue = "multicast interface";  // REG_DWORD, network byte order

// --- The receiver card (HKEY_LOCAL_MACHINE), read by OVD.DLL ----------------
// The card's network adapter is one of the keys "0000".."0009" under this key;
// it names the board driver in "DeviceVxDs" and holds the IC card number.
constexpr const char* kAdapterClassKey = "System\\CurrentControlSet\\Services\\Class\\Net";
constexpr const char* kAdapterDriverValue = "DeviceVxDs";
constexpr const char* kAdapterIcCardValue = "IcCardNumber";
constexpr const char* kBoardDriverName = "KT517.VXD";
// The board library's status window (one per process that loaded it).
constexpr const char* kBoardStatusTitleUtf8 = u8"ソラネクボード情報";

}  // namespace peer
