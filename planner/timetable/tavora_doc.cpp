#include "planner/timetable/tavora_doc.h"
#include <algorithm>
#include "common/debug_log.h"
#include "common/files.h"
#include "common/peer_names.h"
#include "common/reception_result.h"
#include "common/reservation_file.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_settings_file.h"
#include "planner/planner_values.h"
#include "planner/timetable/colour_schemes.h"
#include "planner/timetable/grid_geometry.h"
#include "planner/guide/planner_log.h"

namespace {
namespace pv = planner_values;
const char* const kEnv = peer::kEnvironmentSubKey;
constexpr Time32 kDay = 24 * 60 * 60;

// The date of t at hour:00:00, `days` days later.
Time32 AtHour(Time32 t, int hour, int days = 0) {
  LocalTime lt = BreakLocalTime(t);
  return MakeLocalTime(lt.year, lt.month, lt.day + days, hour, 0, 0);
}
}  // namespace

ReservationMark MarkOf(const ReservationRecord& record) {
  return ReservationMark{record.ScheduledStart(), record.ScheduledEnd(), record.programNumber, record.subNumber};
}

ResultMark MarkOf(const ReceptionResult& result) {
  return ResultMark{result.status, result.programNumber, result.subNumber, result.scheduledStart,
                    result.scheduledEnd, result.autorun, result.storageFolder};
}

CTavoraDoc::CTavoraDoc(PlannerSettings& settings, FileSystem& fs, const Clock& clock, PlannerDocHooks& hooks)
    : settings_(settings), fs_(fs), clock_(clock), hooks_(hooks), guide_(fs) {
  // The clock and every comparison made before the first initialisation (the
  // main window's clock is created first) already run on the stored offset.
  clock_.SetTimeError(ReadTimeError());
  guide_.showFailure = [this] { return hooks_.ShowServerFailure(); };
}

std::string CTavoraDoc::HistoryFolder() const { return settings_.HistoryFolder(); }

std::int32_t CTavoraDoc::ReadTimeError() const { return settings_.Int(kEnv, peer::kTimeErrorValue, 0); }

Time32 CTavoraDoc::FirstDayFor(Time32 now) const {
  LocalTime lt = BreakLocalTime(now);
  int back = (lt.hour < dayStartHour ? 1 : 0) + (showYesterday ? 1 : 0);
  return MakeLocalTime(lt.year, lt.month, lt.day - back, dayStartHour, 0, 0);
}

Time32 CTavoraDoc::PeriodEndFor(Time32 t) const { return AtHour(t + 19 * 3600 + 59 * 60 + 59, dayStartHour); }

void CTavoraDoc::ComputePeriod() {
  Time32 latest = clock_.Now();
  for (const GuideProgram* p : guide_.Guide().Ordered()) latest = std::max(latest, p->endTime);
  periodEnd = PeriodEndFor(latest);
  if (firstDayStart > periodEnd) periodEnd = PeriodEndFor(firstDayStart);
  periodStartCopy = topTime = firstDayStart;
}

std::int64_t CTavoraDoc::MultiDayHeight() const {
  return UnlimitedSlotHeight(charHeight, vZoom, dpi) * Hours() * 6;
}

void CTavoraDoc::ReadTitleSettings() {
  // Whole lists: a cut one would lose titles when written back.
  sortTitle = settings_.WholeText(pv::TitleKey(titleKind), pv::kSortTitle);
  hideTitle = settings_.WholeText(pv::TitleKey(titleKind), pv::kHideTitle);
}

void CTavoraDoc::ReadViewSettings() {
  receptionTimeout = pv::Read(settings_, pv::kTimeout);
  vZoom = pv::Read(settings_, pv::kVZoom);
  hZoom = pv::Read(settings_, pv::kHZoom);
  // A value another program (or an older version) stored outside the guide
  // page's ranges is taken as the nearest bound.
  displayDays = pv::Read(settings_, pv::kDisplayDays);
  showYesterday = pv::Read(settings_, pv::kYesterday);
  titleKind = pv::Read(settings_, pv::kTitleKind);
  ReadTitleSettings();
}

void CTavoraDoc::MeasureFont() {
  int measured = hooks_.MeasureCharHeight(FontSize());
  charHeight = measured > 0 ? measured : ScaleForDpi(FontSize(), dpi);
}

bool CTavoraDoc::OnNewDocument() {
  const std::int32_t timeError = ReadTimeError();
  if (timeError != clock_.TimeError()) {
    clock_.SetTimeError(timeError);
    hooks_.PostToMainFrame(kCmdSetTimeError);
  }
  const Time32 now = clock_.Now();
  nextDailyReload = AtHour(now, 0) + 10 * 60 + 4 * 3600;
  if (nextDailyReload <= now) nextDailyReload = AtHour(now, 4, 1) + 10 * 60;
  guideCheckInterval = pv::Read(settings_, pv::kEpgUpdate) * 60;
  nextGuideCheck = now + guideCheckInterval;
  ReadViewSettings();
  if (guideUrl.empty()) guideUrl = settings_.Text(kEnv, pv::kGuideUrl);
  if (!hooks_.BaseSetUp()) return false;

  guide_.ReadRules(settings_);
  exclusiveMode = guide_.Rules().exclusiveMode ? 1 : 0;
  hooks_.ReadCategoryGroups();
  dayStartHour = pv::Read(settings_, pv::kDayStart);
  firstDayStart = FirstDayFor(now);

  LoadGuideDays(guideUrl);
  hooks_.AssignColourGroups();
  hooks_.BuildTitleRows();
  // Reservations the keyword pass made here, or any waiting in the folder,
  // are the unit's to know of now, not at its next rescan.
  if (hooks_.LoadReservationsAndResults()) hooks_.NotifyUnit();
  ComputePeriod();
  hooks_.LayOutReservationLanes();
  UpdateProgramMarks();
  deepColour = hooks_.DeepColour() ? 1 : 0;

  fontSizeBase = ReadFontSize(settings_);
  std::int32_t fontSize = pv::Read(settings_, pv::kFontSize);
  if (fontSize == 0) fontSize = pv::kFontSize.fallback;
  fontSizeAdjust = fontSize - fontSizeBase;
  MeasureFont();
  CheckHeight();

  hooks_.LoadColours();
  hooks_.BuildDisplayRules();
  notInitialised = 0;
  guide_.OfferFailureMessage(guideUrl);
  return true;
}

// Too tall for the screen coordinates: 24-hour mode, from the first hour. Only
// ever switches the mode on; a document re-initialised in 24-hour mode stays in it.
void CTavoraDoc::CheckHeight() {
  if (MultiDayHeight() <= kMaxPixelHeight) return;
  if (!dayMode24) ToggleDayMode24();
  firstHourOffset = 0;
}

bool CTavoraDoc::OnOpenDocument(const std::string& path) {
  DeleteContents();
  GuideSettingsImport imported = ImportGuideSettingsFile(fs_, path, settings_);
  guideUrl = imported.location;
  return OnNewDocument();
}

void CTavoraDoc::SaveTitleWidths(std::int32_t kind) {
  for (const TitleWidth& w : titleWidths) settings_.SetInt(pv::TitleKey(kind), w.title, w.widthPercent);
}

void CTavoraDoc::FreeTitleRows() {
  SaveTitleWidths(titleKind);
  hooks_.FreeTitleRows();
  titleWidths.clear();
}

void CTavoraDoc::SaveViewValues() {
  if (notInitialised) return;
  pv::Write(settings_, pv::kFontSize, FontSize());
  pv::Write(settings_, pv::kVZoom, vZoom);
  pv::Write(settings_, pv::kHZoom, hZoom);
  pv::Write(settings_, pv::kTitleKind, titleKind);
  hooks_.SaveDisplayRules();
}

void CTavoraDoc::SaveViewSettings() {
  SaveTitleWidths(titleKind);
  SaveViewValues();
}

void CTavoraDoc::DeleteContents() {
  FreeTitleRows();
  guide_.Clear();
  reservations.clear();
  results.clear();
  guide_.SetRules(GuideRules());
  SaveViewValues();
}

bool CTavoraDoc::LoadGuideDays(const std::string& location) { return LoadGuideDays(location, firstDayStart); }

bool CTavoraDoc::LoadGuideDays(const std::string& location, Time32 firstDay) {
  int days = displayDays + (showYesterday ? 1 : 0);
  return guide_.LoadGuideDays(location, firstDay, days, HistoryFolder());
}

void CTavoraDoc::UpdateProgramMarks() {
  const Time32 now = clock_.Now();
  const std::vector<GuideProgram*>& list = guide_.Guide().Ordered();
  bool changed = false;
  for (GuideProgram* p : list) {
    p->state = kStateNormal;
    std::int32_t ended = p->endTime < now ? 1 : 0;
    if (ended != p->ended) changed = true;
    p->ended = ended;
  }
  for (const ResultMark& r : results) {
    auto it = list.begin();
    while (it != list.end() && (*it)->endTime < r.first) ++it;
    for (; it != list.end() && (*it)->startTime < r.second; ++it) {
      GuideProgram* p = *it;
      if (p->programNumber != r.programNumber || p->subNumber != r.subNumber) continue;
      // Only a successful reception shows as received; a broadcast that was never
      // received (status 2) is as much a failure to the user as status 0.
      p->state = r.status != kResultSuccess ? kStateFailed
                                            : (!r.launchFile.empty() ? kStateReceivedLaunchable : kStateReceived);
      changed = true;
      break;
    }
  }
  for (const ReservationMark& m : reservations) {
    // The list is ordered by start: the first program at the reservation's start.
    auto it = std::lower_bound(list.begin(), list.end(), m.start,
                               [](const GuideProgram* p, Time32 start) { return p->startTime < start; });
    for (; it != list.end() && (*it)->startTime == m.start; ++it) {
      GuideProgram* p = *it;
      if (p->endTime == m.end && p->programNumber == m.programNumber && p->subNumber == m.subNumber) {
        p->state = kStateReserved;
        break;
      }
    }
  }
  DebugPrintf("Tavora: marks from %zu results and %zu reservations", results.size(), reservations.size());
  if (changed) hooks_.RedrawAllViews();
}

bool CTavoraDoc::IsEnabled(int command) const {
  switch (command) {
    case kCmdFontBigger: return fontSizeAdjust < 20;
    case kCmdFontSmaller: return fontSizeAdjust > 10 - fontSizeBase;
    case kCmdHZoomIn: return hZoom < 64;
    case kCmdHZoomOut: return hZoom >= -7;
    case kCmdVZoomIn: return vZoom < 64;
    case kCmdVZoomOut: return vZoom >= -7;
    default: return true;
  }
}

bool CTavoraDoc::IsChecked(int command) const {
  switch (command) {
    case kCmdTitleSeries: return titleKind == 1;
    case kCmdTitleChannel: return titleKind == 2;
    case kCmdTitleCategory: return titleKind == 3;
    case kCmdDayMode24: return dayMode24 != 0;
    default: return false;
  }
}

std::int32_t CTavoraDoc::FirstHourOffsetForTop() const {
  std::int32_t hoursToTop = static_cast<std::int32_t>((topTime - firstDayStart) / 3600);
  return std::max(0, std::min(hoursToTop, Hours() - 12) - 12);
}

void CTavoraDoc::AfterVZoomIn() {
  if (MultiDayHeight() > kMaxPixelHeight && !dayMode24) firstHourOffset = FirstHourOffsetForTop();
  dayMode24 = MultiDayHeight() > kMaxPixelHeight ? 1 : 0;
}

void CTavoraDoc::AfterHeightChange() { dayMode24 = MultiDayHeight() > kMaxPixelHeight ? 1 : 0; }

void CTavoraDoc::OnCommand(int command) {
  if (!IsEnabled(command)) return;
  switch (command) {
    case kCmdGuideUpdate: UpdateGuide(); return;
    case kCmdRedisplay: Redisplay(); return;
    case kCmdTitleSeries: SetTitleKind(1); return;
    case kCmdTitleChannel: SetTitleKind(2); return;
    case kCmdTitleCategory: SetTitleKind(3); return;
    case kCmdDayMode24: ToggleDayMode24(); return;
    case kCmdFontBigger:
    case kCmdFontSmaller: {
      bool wasOver = dayMode24 != 0;
      fontSizeAdjust += command == kCmdFontBigger ? 2 : -2;
      hooks_.RebuildFonts();
      MeasureFont();
      if (command == kCmdFontBigger && !wasOver)
        AfterVZoomIn();
      else
        AfterHeightChange();
      break;
    }
    case kCmdHZoomIn: hZoom += 2; break;
    case kCmdHZoomOut: hZoom -= 2; break;
    case kCmdVZoomIn: vZoom += 2; AfterVZoomIn(); break;
    case kCmdVZoomOut: vZoom -= 2; AfterHeightChange(); break;
    default: return;
  }
  hooks_.RedrawAllViews();
}

void CTavoraDoc::FontChanged() {
  const bool wasOver = dayMode24 != 0;
  hooks_.RebuildFonts();
  MeasureFont();
  if (!wasOver)
    AfterVZoomIn();
  else
    AfterHeightChange();
  hooks_.RedrawAllViews();
}

void CTavoraDoc::ToggleDayMode24() {
  if (!dayMode24) {
    vZoomMulti = vZoom;
    vZoom = vZoom24;
    // Bounded by the zoom limit: a period too short to ever exceed the height
    // must not spin here.
    while (MultiDayHeight() <= kMaxPixelHeight && vZoom < 64) vZoom += 2;
    firstHourOffset = FirstHourOffsetForTop();
  } else {
    vZoom24 = vZoom;
    vZoom = vZoomMulti;
    while (MultiDayHeight() >= kMaxPixelHeight && vZoom > -8) vZoom -= 2;
  }
  dayMode24 = dayMode24 ? 0 : 1;
  hooks_.RedrawAllViews();
}

void CTavoraDoc::SetTitleKind(std::int32_t kind) {
  if (kind == titleKind) return;
  FreeTitleRows();
  titleKind = kind;
  ReadTitleSettings();
  hooks_.BuildTitleRows();
  hooks_.RedrawAllViews();
}

void CTavoraDoc::Redisplay() {
  const std::int32_t before = clock_.TimeError();
  const std::int32_t stored = ReadTimeError();
  const std::int64_t change = static_cast<std::int64_t>(stored) - before;
  if (change > 1 || change < -1) {
    clock_.SetTimeError(stored);
    hooks_.PostToMainFrame(kCmdSetTimeError);
  }
  SaveTitleWidths(titleKind);
  bool reserved = hooks_.RescanReservations();
  if (hooks_.RunKeywordReservation()) reserved = true;
  if (reserved) {
    hooks_.NotifyUnit();
    hooks_.LayOutReservationLanes();
  }
  // The ended flags move with the clock, so the marks are always brought up to date.
  UpdateProgramMarks();
  hooks_.RedrawAllViews();
  if (change > 43200 || change < -43200) hooks_.PostToMainFrame(kCmdGuideUpdate);
}

void CTavoraDoc::UpdateGuide() {
  if (updatingGuide_) {
    DebugPrintf("guide: an update is already running; the second request is ignored\n");
    return;
  }
  updatingGuide_ = true;
  hooks_.WaitCursor(true);
  const Time32 now = clock_.Now();
  hooks_.PostToMainFrame(kCmdSetTimeError);
  // The new first day and day start take effect only with a new guide: a failed
  // update leaves the period as it was.
  const std::int32_t oldDayStart = dayStartHour;
  dayStartHour = pv::Read(settings_, pv::kDayStart, dayStartHour);
  const Time32 first = FirstDayFor(now);
  const std::string location = guideUrl;
  if (!LoadGuideDays(location, first)) {
    dayStartHour = oldDayStart;
    hooks_.WaitCursor(false);
    updatingGuide_ = false;
    guide_.OfferFailureMessage(location);
    return;
  }
  firstDayStart = first;
  AppendPlannerLog(fs_, settings_.ScheduleFolder(), J(u8"ＥＰＧの更新"), clock_.Base().Now());
  // The old records are gone: the title rows that pointed into them are rebuilt
  // before anything else can run a message loop (a detail fetch, a message box).
  hooks_.AssignColourGroups();
  ComputePeriod();
  FreeTitleRows();
  hooks_.BuildTitleRows();
  hooks_.ReloadResults();
  if (hooks_.RunKeywordReservation()) {
    hooks_.NotifyUnit();
    hooks_.LayOutReservationLanes();
  }
  // The new records carry no marks yet: they are always recomputed.
  UpdateProgramMarks();
  CheckHeight();
  hooks_.RedrawAllViews();
  hooks_.WaitCursor(false);
  updatingGuide_ = false;
  guide_.OfferFailureMessage(location);
}
