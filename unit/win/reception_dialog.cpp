#include "reception_dialog.h"

#include <commctrl.h>

#include <cstdio>

#include "common/files.h"
#include "common/sockets.h"
#include "common/text.h"
#include "common/win/receiving_thread.h"
#include "common/win/message_box.h"
#include "resource.h"
#include "window_placement.h"

const CReceptionDlg::MessageEntry CReceptionDlg::kMessages[] = {
    {WM_INITDIALOG, &CReceptionDlg::OnInitDialog},
    {WM_TIMER, &CReceptionDlg::OnTimer},
    {WM_CLOSE, &CReceptionDlg::OnClose},
    {DM_GETDEFID, &CReceptionDlg::OnGetDefId},
    {0, nullptr},
};

const CReceptionDlg::CommandEntry CReceptionDlg::kCommands[] = {
    {IDC_STOP, &CReceptionDlg::OnStop},
    {IDC_CLOSE_RECEPTION, &CReceptionDlg::OnHide},
    {IDCANCEL, &CReceptionDlg::OnHide},
    // Enter neither stops nor closes a reception.
    {IDOK, &CReceptionDlg::KeepOpen},
    {0, nullptr},
};


CReceptionDlg::CReceptionDlg(const ReceptionOrder& order, FileSystem& fs, const Clock& clock)
    : order_(order),
      reception_(std::make_unique<Reception>(order, fs, clock, *this, [] {
        // Datagrams are taken off the socket by a thread of their own and
        // handed to the engine on its 10 ms timer: no message per datagram.
        return CreateReceivingThreadSocket(CreateDatagramSocket());
      })) {}

CReceptionDlg::~CReceptionDlg() {
  // A finished reception leaves its files at their names even when nobody
  // collected it; an unfinished one places nothing.
  if (started_ && reception_->Finished()) PlaceFilesOnce();
  if (timer_) Dialog::StopTimer(timer_);
  reception_->Shutdown();
}

bool CReceptionDlg::Open(HINSTANCE instance, HWND owner) {
  if (!CreateModeless(instance, IDD_RECEPTION, owner)) return false;
  if (!started_) {
    Destroy();
    return false;
  }
  PlaceReceptionWindow(Handle(), order_.messagePosition);
  if (order_.visible) ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  return true;
}

void CReceptionDlg::ShowOnTop() {
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
}

bool CReceptionDlg::PlaceFilesOnce() {
  if (placed_) return allPlaced_;
  placed_ = true;
  allPlaced_ = reception_->PlaceFiles() == 0;
  return allPlaced_;
}

INT_PTR CReceptionDlg::OnInitDialog(WPARAM, LPARAM) {
  started_ = reception_->Start();
  return FALSE;
}

INT_PTR CReceptionDlg::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == timer_) reception_->OnTimer();
  return TRUE;
}

INT_PTR CReceptionDlg::OnClose(WPARAM, LPARAM) {
  OnHide();
  return TRUE;
}

// Enter is "閉じる", never "受信中断" (id 1, which the dialog manager would
// send for Enter): a key press must not end a reception or have it collected.
INT_PTR CReceptionDlg::OnGetDefId(WPARAM, LPARAM) {
  SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, MAKELONG(IDC_CLOSE_RECEPTION, DC_HASDEFID));
  return TRUE;
}

void CReceptionDlg::OnStop() {
  reception_->OnStopCommand();
  // A click leaves the focus on the button, where Enter would press it again.
  if (GetFocus() == Item(IDC_STOP))
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_CLOSE_RECEPTION)), TRUE);
}

void CReceptionDlg::OnHide() { ShowWindow(Handle(), SW_HIDE); }

void CReceptionDlg::SetProgressRange(int upper) {
  SendDlgItemMessageW(Handle(), IDC_PROGRESS, PBM_SETRANGE32, 0, upper);
}

void CReceptionDlg::SetProgressPos(int pos) { SendDlgItemMessageW(Handle(), IDC_PROGRESS, PBM_SETPOS, pos, 0); }

void CReceptionDlg::Refresh() {
  if (Handle()) UpdateWindow(Handle());
}

bool CReceptionDlg::StartTimer() {
  timer_ = Dialog::StartTimer(10, 99, 10);
  return timer_ != 0;
}

void CReceptionDlg::StopTimer() {
  if (timer_) Dialog::StopTimer(timer_);
  timer_ = 0;
}

