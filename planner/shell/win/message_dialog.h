// The planner's own message dialog: a text with an icon chosen by the flags
// (MB_ICONINFORMATION, MB_ICONQUESTION, otherwise exclamation), sized to the
// text, with a beep. Buttons by flags: MB_OK "OK", MB_OKCANCEL "OK"/"ｷｬﾝｾﾙ",
// MB_YESNO "はい"/"いいえ", kMessageContinue "続行". With a countdown the
// dialog closes itself as cancelled (IDCANCEL) when the count reaches zero.
#pragma once
#include <windows.h>

#include <string>

constexpr UINT kMessageContinue = 0x00010000;

int MessageDialog(HWND owner, const std::string& textCp932, UINT flags, int countdownSeconds = 0);
// The guide server could not be reached; true when the user ticked "do not show again".
bool ShowServerFailureMessage(HWND owner);
