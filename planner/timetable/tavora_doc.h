// The planner's document: the guide, its settings, the displayed period, the
// program marks and the zoom state. Windows, fonts, colours, title rows and
// reservations plug in through PlannerDocHooks.
#pragma once
#include "common/dpi_scale.h"
#include "common/peer_names.h"
#include <cstdint>
#include <string>
#include <vector>
#include "common/clock.h"
#include "common/time_text.h"
#include "planner/guide/guide_store.h"

class FileSystem;
class PlannerSettings;
struct ReceptionResult;
struct ReservationRecord;

// Command ids the document handles or posts.
enum PlannerCommand : int {
  kCmdGuideUpdate = 32783,
  kCmdSetTimeError = 32789,
  kCmdFontBigger = 32791,
  kCmdFontSmaller = 32792,
  kCmdVZoomIn = 32793,
  kCmdVZoomOut = 32794,
  kCmdHZoomIn = 32795,
  kCmdHZoomOut = 32796,
  kCmdRedisplay = peer::kCmdPlannerRefresh,
  kCmdTitleSeries = 32776,
  kCmdTitleChannel = 32775,
  kCmdTitleCategory = 32773,
  kCmdDayMode24 = 32817,
};

constexpr int kMaxPixelHeight = 32000;

// A reservation as the marks compare it.
struct ReservationMark {
  Time32 start = 0;
  Time32 end = 0;
  std::int32_t programNumber = 0;
  std::int32_t subNumber = 0;
};
ReservationMark MarkOf(const ReservationRecord& record);

// A reception result as the marks compare it: programs ending before `first`
// are skipped, programs starting before `second` are candidates.
struct ResultMark {
  std::int32_t status = 0;  // 0 failed
  std::int32_t programNumber = 0;
  std::int32_t subNumber = 0;
  Time32 first = 0;   // scheduled start
  Time32 second = 0;  // scheduled end
  std::string launchFile;
  std::string storageFolder;  // where the open button and the pop-up look
};
ResultMark MarkOf(const ReceptionResult& result);

// Width percent of one title row, as the title rows keep it.
struct TitleWidth {
  std::string title;
  std::int32_t widthPercent = 0;
};

// Where the views, fonts, colours, title rows, reservations and results attach.
// Every step does nothing until its owner provides it.
class PlannerDocHooks {
 public:
  virtual ~PlannerDocHooks() = default;
  virtual bool BaseSetUp() { return true; }
  virtual void ReadCategoryGroups() {}
  virtual void AssignColourGroups() {}
  virtual void BuildTitleRows() {}
  virtual void FreeTitleRows() {}
  // Reservations and results from disk, then the keyword reservation pass;
  // true when the unit is to be woken: the pass reserved anything, or the
  // reservation list is not empty.
  virtual bool LoadReservationsAndResults() { return false; }
  virtual void ReloadResults() {}
  virtual bool RescanReservations() { return false; }
  virtual bool RunKeywordReservation() { return false; }
  virtual void NotifyUnit() {}
  virtual void LayOutReservationLanes() {}
  // Pixel height of one full-width character in the timetable font; 0 = the
  // font size itself.
  virtual int MeasureCharHeight(int /*fontSize*/) { return 0; }
  virtual bool DeepColour() { return true; }
  virtual void LoadColours() {}
  virtual void BuildDisplayRules() {}
  virtual void SaveDisplayRules() {}
  virtual void RebuildFonts() {}
  virtual void RedrawAllViews() {}
  virtual void PostToMainFrame(int /*command*/) {}
  virtual void WaitCursor(bool /*on*/) {}
  // The server-failure message; true when its check box was ticked.
  virtual bool ShowServerFailure() { return false; }
};

class CTavoraDoc {
 public:
  CTavoraDoc(PlannerSettings& settings, FileSystem& fs, const Clock& clock, PlannerDocHooks& hooks);
  // The shell's services (wait cursor, redraws) for work done outside the document.
  PlannerDocHooks& Hooks() { return hooks_; }

  // --- members named as the planner names them ---
  std::int32_t fontSizeAdjust = 0;
  std::int32_t fontSizeBase = 16;
  std::int32_t vZoom = 0;
  std::int32_t hZoom = 0;
  std::int32_t receptionTimeout = 600;
  std::int32_t displayDays = 6;
  std::int32_t titleKind = 1;
  std::int32_t reservationColumnWidth = 50;
  std::int32_t firstHourOffset = 0;
  std::int32_t vZoom24 = 0;
  std::int32_t vZoomMulti = 32;
  std::int32_t notInitialised = 1;
  std::int32_t showYesterday = 0;
  std::int32_t exclusiveMode = 0;
  std::int32_t filterOn = 0;
  std::int32_t dayMode24 = 0;
  Time32 periodStartCopy = 0;
  Time32 topTime = 0;
  Time32 firstDayStart = 0;
  Time32 periodEnd = 0;
  Time32 nextDailyReload = 0;
  Time32 nextGuideCheck = 0;
  std::int32_t guideCheckInterval = 3600;
  std::string guideUrl;
  std::string sortTitle, hideTitle;
  std::int32_t charHeight = 16;
  // The screen's dots per inch, read once by the shell before the first layout:
  // font sizes and the fixed pixels of the grid are designed for 96.
  std::int32_t dpi = kDesignDpi;
  std::int32_t deepColour = 1;
  std::int32_t dayStartHour = 4;      // application setting "DayStart"
  std::vector<TitleWidth> titleWidths;
  std::vector<ReservationMark> reservations;
  std::vector<ResultMark> results;

  // Initialisation of a new document; false when the base set-up fails.
  bool OnNewDocument();
  // Opening a guide settings file: imports it, then initialises.
  bool OnOpenDocument(const std::string& path);
  // Frees the lists and, once initialised, saves the view settings.
  void DeleteContents();
  // What the clearing writes (title widths, font size, zoom, title kind,
  // display rules), written without freeing anything: at the end of a session.
  void SaveViewSettings();

  // Loads the days from firstDay (default: firstDayStart); true when any day
  // gave a record.
  bool LoadGuideDays(const std::string& location);
  bool LoadGuideDays(const std::string& location, Time32 firstDay);
  // States and ended flags from the reservation and result lists.
  void UpdateProgramMarks();

  // Menu commands; a command outside its limits does nothing.
  bool IsEnabled(int command) const;
  bool IsChecked(int command) const;
  void OnCommand(int command);
  void UpdateGuide();
  void Redisplay();
  void SetTitleKind(std::int32_t kind);
  void ToggleDayMode24();
  // Another font was chosen (the colour design page): rebuilt, measured and
  // checked against the height limit as the font size commands do.
  void FontChanged();
  // While a guide update runs (its fetches keep window messages flowing), a
  // second update command is ignored.
  bool UpdatingGuide() const { return updatingGuide_; }

  // Start of the first displayed day for `now`.
  Time32 FirstDayFor(Time32 now) const;
  // The period end rule applied to t: the date of t + 19:59:59 at the day start.
  Time32 PeriodEndFor(Time32 t) const;
  void ComputePeriod();
  std::int32_t Hours() const { return static_cast<std::int32_t>((periodEnd - firstDayStart) / 3600); }
  std::int64_t MultiDayHeight() const;
  std::int32_t FontSize() const { return fontSizeBase + fontSizeAdjust; }

  GuideStore& Guide() { return guide_; }
  const GuideList& Programs() const { return guide_.Guide(); }
  CalibratedClock& Now() { return clock_; }
  std::string HistoryFolder() const;

 private:
  void ReadViewSettings();
  void ReadTitleSettings();
  void SaveTitleWidths(std::int32_t kind);
  void SaveViewValues();
  void CheckHeight();
  void FreeTitleRows();
  void AfterVZoomIn();
  void AfterHeightChange();
  void MeasureFont();
  std::int32_t FirstHourOffsetForTop() const;
  std::int32_t ReadTimeError() const;

  PlannerSettings& settings_;
  FileSystem& fs_;
  CalibratedClock clock_;
  PlannerDocHooks& hooks_;
  GuideStore guide_;
  bool updatingGuide_ = false;
};
