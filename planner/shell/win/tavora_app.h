// The planner's one application object: the platform seam, the working
// folders and settings read at start-up, the document, the reservation list and
// the main window. Every window of the planner reaches them through TheApp().
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include "planner/reserve/reservation_list.h"
#include "planner/shell/frame_settings.h"
#include "planner/shell/startup_folders.h"

class CTavoraDoc;
class Clock;
class FileSystem;
class PlannerSettings;
class Settings;

class CTavoraApp {
 public:
  HINSTANCE instance = nullptr;
  Settings* store = nullptr;
  PlannerSettings* settings = nullptr;
  FileSystem* fs = nullptr;
  const Clock* clock = nullptr;

  WorkingFolders folders;
  std::string programFolder;  // folder of Tavora.exe, with a trailing "\"
  std::int32_t dayStartHour = 4;
  std::int32_t diskLimitMb = 40;
  std::int32_t totalLimitMb = 0;
  // The timetable's switches (View menu): reserve buttons drawn, hover feedback shown.
  DisplaySwitches display;

  CTavoraDoc* doc = nullptr;
  ReservationList reservations;
  HWND mainFrame = nullptr;
  // Long work in progress (guide update, clearing): the frame's windows show
  // the wait cursor while this is above 0.
  int waitCursor = 0;

  // Cp932 text of a string resource.
  std::string String(unsigned id) const;
  // The reservation list's marks into the document (after every list change).
  void SyncReservationMarks();
};

CTavoraApp& TheApp();

// The full refresh: the reservation list rebuilt from the schedule folder,
// results collected, lanes, marks, every view redrawn.
void FullRefresh();
