// Dialog 149 "番組の予約" and dialog 150 "ファイル格納フォルダの変更".
#include <windows.h>

#include <cstdio>
#include <string>
#include "common/clock.h"
#include "common/debug_log.h"
#include "common/files.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "common/storage_folder.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/message_box.h"
#include "planner/guide/guide_program.h"
#include "planner/history/win/planner_history.h"
#include "planner/reserve/program_detail.h"
#include "planner/reserve/reservation_checks.h"
#include "planner/reserve/reservation_files.h"
#include "planner/reserve/reservation_texts.h"
#include "planner/reserve/win/detail_fetch.h"
#include "planner/reserve/win/reserve_actions.h"
#include "planner/reserve/win/unit_link.h"
#include "planner/shell/win/folder_field.h"
#include "planner/shell/win/message_dialog.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/tavora_app.h"
#include "planner/timetable/tavora_doc.h"

namespace {
std::string WithNumber(const std::string& format, long value) {
  char text[512];
  std::snprintf(text, sizeof text, format.c_str(), value);
  return text;
}

std::string FreeText(const std::string& folder) {
  std::uint64_t kbyte = 0;
  if (!FreeKbyte(*TheApp().fs, VolumeRoot(folder), &kbyte)) return J(u8"不明");
  return KbyteText(static_cast<std::int64_t>(kbyte));
}

class CFolderDlg : public DialogImpl<CFolderDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  CFolderDlg(const GuideProgram& program, std::string folder) : folder(std::move(folder)), program_(program) {}
  std::string folder;

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    SetItemText(IDC_FLD_TITLE, program_.name);
    SetItemText(IDC_FLD_SIZE, KbyteText(program_.totalKbyte));
    SetItemText(IDC_FLD_EDIT, folder);
    OnEditChange();
    return TRUE;
  }
  void OnDefault() { SetItemText(IDC_FLD_EDIT, DefaultStorageFolder(TheApp().folders.data, program_.holder)); }
  void OnBrowse() { BrowseIntoFolderField(*this, IDC_FLD_EDIT); }
  void OnEditChange() {
    const std::string text = ItemText(IDC_FLD_EDIT);
    Enable(IDOK, !text.empty());
    const std::string root = VolumeRoot(text);
    if (root == lastRoot_ && shown_) return;
    lastRoot_ = root;
    shown_ = true;
    SetItemText(IDC_FLD_FREE, FreeText(text));
  }
  void OnOk() {
    if (ReadFullFolderField(*this, IDC_FLD_EDIT, &folder)) End(IDOK);
  }

  const GuideProgram& program_;
  std::string lastRoot_;
  bool shown_ = false;
};
const CFolderDlg::MessageEntry CFolderDlg::kMessages[] = {{WM_INITDIALOG, &CFolderDlg::OnInitDialog}, {0, nullptr}};
const CFolderDlg::CommandEntry CFolderDlg::kCommands[] = {
    {IDC_FLD_EDIT, EN_CHANGE, &CFolderDlg::OnEditChange},
    {IDOK, &CFolderDlg::OnOk},
    {IDC_FLD_DEFAULT, &CFolderDlg::OnDefault},
    {IDC_FOLDER_BROWSE, &CFolderDlg::OnBrowse},
    {0, nullptr},
};

class CReserveDlg : public DialogImpl<CReserveDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  // A copy: the guide the program came from may be replaced while the dialog
  // runs its message loop; only the copy's key is looked up again.
  explicit CReserveDlg(const GuideProgram& program) : copy_(program), program_(&copy_) {}
  bool reserved = false;

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    CTavoraApp& app = TheApp();
    if (!program_ || !app.doc) {
      PostMessageW(Handle(), WM_COMMAND, IDCANCEL, 0);
      return TRUE;
    }
    SetItemText(IDC_RSV_SIZE, KbyteText(program_->totalKbyte));
    const std::string proposed = DefaultStorageFolder(app.folders.data, program_->holder);
    SetItemText(IDC_RSV_FOLDER, proposed);
    if (proposed.empty() && program_->sid != 0) {
      DebugPrintf("Holder refused: \"%s\"\n", program_->holder.c_str());
      ShowMessageBox(Handle(), RefusedHolderText(program_->holder), app.String(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
    }
    SetItemText(IDC_RSV_TITLE, program_->name);
    SetItemText(IDC_RSV_DIGEST, NormaliseLineBreaks(program_->digest));
    SetItemText(IDC_RSV_TIME, BroadcastTimeText(program_->startTime, program_->endTime));
    if (program_->sid == 0) {
      for (int id : {IDC_RSV_FOLDER_LABEL, IDC_RSV_CHANGE, IDC_RSV_FOLDER}) Enable(id, false);
    }
    ShowWarning();
    SetFocus(Item(IDOK));
    return FALSE;  // the focus is set: on "予約"
  }

  void ShowWarning() {
    CTavoraApp& app = TheApp();
    ReservationCandidate c{program_->startTime, program_->endTime, program_->sid, program_->totalKbyte,
                           program_->speed};
    unsigned id = 0;
    switch (CheckOverlap(app.reservations, c, app.doc->Now().Now())) {
      case OverlapWarning::TooMuchOverlap: id = IDS_TOO_MUCH_OVERLAP; break;
      case OverlapWarning::TimeShort: id = IDS_TIME_SHORT; break;
      case OverlapWarning::Overlap: id = IDS_OVERLAP; break;
      case OverlapWarning::None: break;
    }
    SetItemText(IDC_RSV_WARNING, id ? app.String(id) : std::string());
  }

  void OnChangeFolder() {
    CFolderDlg dialog(*program_, ItemText(IDC_RSV_FOLDER));
    if (dialog.RunModal(TheApp().instance, IDD_RESERVE_FOLDER, Handle()) == IDOK)
      SetItemText(IDC_RSV_FOLDER, dialog.folder);
  }

  // The disk and total checks; false when the user stopped the reservation.
  bool ConfirmCapacity(const std::string& folder) {
    CTavoraApp& app = TheApp();
    CapacityInput in;
    in.freeKnown = FreeKbyte(*app.fs, VolumeRoot(folder), &in.freeKbyte);
    in.diskLimitMb = app.diskLimitMb;
    in.totalLimitMb = app.totalLimitMb;
    in.candidateKbyte = program_->totalKbyte;
    in.reservedKbyte = app.reservations.ReservedKbyte();
    in.receivedKbyte = PlannerReceivedKbyte();
    const std::vector<ReceivedFolder> received = PlannerReceivedFolders();
    switch (CheckCapacity(in, app.reservations, received)) {
      case CapacityVerdict::DiskLow:
        return MessageDialog(Handle(), WithNumber(app.String(IDS_DISK_LOW), app.diskLimitMb), MB_OKCANCEL) == IDOK;
      case CapacityVerdict::TotalOver:
        return MessageDialog(Handle(), WithNumber(app.String(IDS_TOTAL_OVER), app.totalLimitMb), MB_OKCANCEL) ==
               IDOK;
      case CapacityVerdict::Ok:
        return true;
    }
    return true;
  }

  void OnReserve() {
    CTavoraApp& app = TheApp();
    // A program without files (sid 0) has its folder field disabled: any text goes.
    std::string folder = ItemText(IDC_RSV_FOLDER);
    if (program_->sid != 0 && !ReadFullFolderField(*this, IDC_RSV_FOLDER, &folder)) return;
    // A folder longer than the record holds is refused here, never cut on writing.
    if (folder.size() > kMaxStorageFolderBytes) {
      ShowMessageBox(Handle(), J(u8"格納フォルダ \"") + folder + J(u8"\" は長すぎます。"), app.String(IDS_APP_TITLE),
                     MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    if (!ConfirmCapacity(folder)) return;
    const bool clear = Checked(IDC_RSV_CLEAR);
    const ReservationRecord record = BuildReservationRecord(*program_, folder, clear, app.clock->TickMs());
    if (!WriteReservationFile(*app.fs, app.folders.schedule, record)) {
      ShowMessageBox(Handle(), app.String(IDS_RESERVE_FAILED), app.String(IDS_APP_TITLE), MB_OK | MB_ICONSTOP);
      return;
    }
    // The same broadcast reserved again replaces its entry.
    const int listed = app.reservations.Find(program_->programNumber, program_->subNumber);
    if (listed >= 0) app.reservations.RemoveAt(static_cast<std::size_t>(listed));
    app.reservations.Insert(EntryFrom(record, *program_));
    app.reservations.LayOutLanes();
    app.SyncReservationMarks();
    WakeUnit(app.programFolder);
    app.doc->UpdateProgramMarks();
    if (app.mainFrame) RedrawWindow(app.mainFrame, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    reserved = true;
    End(IDOK);
  }

  GuideProgram copy_;
  GuideProgram* program_;
};
const CReserveDlg::MessageEntry CReserveDlg::kMessages[] = {{WM_INITDIALOG, &CReserveDlg::OnInitDialog},
                                                            {0, nullptr}};
const CReserveDlg::CommandEntry CReserveDlg::kCommands[] = {
    {IDOK, &CReserveDlg::OnReserve}, {IDC_RSV_CHANGE, &CReserveDlg::OnChangeFolder}, {0, nullptr}};
}  // namespace

bool ReserveProgram(HWND owner, GuideProgram& program) {
  CTavoraApp& app = TheApp();
  // Messages other programs send are answered while the detail is awaited:
  // none of them may start a second reservation meanwhile.
  static bool fetching = false;
  if (!app.doc || fetching) return false;
  // The detail is completed before the dialog exists: the fetch may take up to
  // its time limit, the planner keeps painting under the wait cursor meanwhile,
  // and without a detail no empty dialog flashes up behind the message.
  app.doc->Hooks().WaitCursor(true);
  fetching = true;
  WinInetDetailFetcher fetcher(true);
  const DetailOutcome detail =
      CompleteProgramDetail(program, app.doc->guideUrl, app.folders.history, *app.fs, &fetcher);
  fetching = false;
  app.doc->Hooks().WaitCursor(false);
  if (detail == DetailOutcome::Unavailable) {
    ShowMessageBox(owner, app.String(IDS_NO_DETAIL), app.String(IDS_APP_TITLE), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  CReserveDlg dialog(program);
  dialog.RunModal(TheApp().instance, IDD_RESERVE, owner);
  return dialog.reserved;
}

void OpenTestReservation(HWND owner) {
  CTavoraApp& app = TheApp();
  if (!app.doc) return;
  const std::string wanted = app.settings->Text(peer::kEnvironmentSubKey, "TestReserveProgram");
  long number = 0, sub = 0;
  if (std::sscanf(wanted.c_str(), "%ld-%ld", &number, &sub) != 2) {
    DebugOut("Tavora: TestReserveProgram is not \"number-sub\": " + wanted);
    return;
  }
  for (GuideProgram* p : app.doc->Guide().Guide().Ordered()) {
    if (p->programNumber == number && p->subNumber == sub) {
      DebugOut("Tavora: test reservation of " + wanted);
      ReserveProgram(owner, *p);
      return;
    }
  }
  DebugOut("Tavora: TestReserveProgram not in the guide: " + wanted);
}
