// What the timetable needs from the rest of the planner: the reservation
// dialog, the reservation and result lists, the application settings, the
// bubble and message windows, and the reservation column beside the grid.
// The shell implements it; the repaint benchmark has a plain one of its own.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

struct GuideProgram;

class TimetableHost {
 public:
  virtual ~TimetableHost() = default;
  // The reservation dialog for the program (modal).
  virtual void OpenReservationDialog(HWND owner, GuideProgram& program) = 0;
  // Whether a reservation with this program and sub number exists.
  virtual bool HasReservation(std::int32_t programNumber, std::int32_t subNumber) = 0;
  // Application settings: reservations may be made; hover feedback is shown.
  virtual bool ReservationsEnabled() = 0;
  virtual bool HoverFeedback() = 0;
  // A bubble with a cp932 text pointing at a screen point; returns its window.
  virtual HWND ShowBubble(HWND owner, POINT screen, const std::string& textCp932) = 0;
  virtual void CloseBubble(HWND bubble) = 0;
  // A message of the string table (5015, 5007, 5018, 5020).
  virtual void ShowMessage(HWND owner, int stringId) = 0;
  // The storage folder and launch file of the reception result of a program.
  virtual bool FindResult(std::int32_t programNumber, std::int32_t subNumber, std::string* folder,
                          std::string* launchFile) = 0;
  // The reservation column follows the grid: its vertical position, and a command (32772, 32805).
  virtual void SetReserveScroll(int y) = 0;
  virtual void SendToReserveView(int command) = 0;
};
