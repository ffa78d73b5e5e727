// The repaint benchmark's host: the panes run on their own, without the shell.
#pragma once
#include "planner/timetable/win/timetable_host.h"

// Plain answers: no reservation dialog, reservations and hover enabled, a
// simple bubble, message boxes from the string table, no results.
class DefaultTimetableHost : public TimetableHost {
 public:
  void OpenReservationDialog(HWND, GuideProgram&) override {}
  bool HasReservation(std::int32_t, std::int32_t) override { return false; }
  bool ReservationsEnabled() override { return true; }
  bool HoverFeedback() override { return true; }
  HWND ShowBubble(HWND owner, POINT screen, const std::string& textCp932) override;
  void CloseBubble(HWND bubble) override;
  void ShowMessage(HWND owner, int stringId) override;
  bool FindResult(std::int32_t, std::int32_t, std::string*, std::string*) override { return false; }
  void SetReserveScroll(int) override {}
  void SendToReserveView(int) override {}
};
