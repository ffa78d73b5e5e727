#include "planner/timetable/win/colour_page.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include "common/dpi_scale.h"
#include "common/win/dpi.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "planner/timetable/tavora_doc.h"
#include "planner/timetable/timetable_model.h"
#include "planner/timetable/win/timetable_dialogs.h"
#include "planner/timetable/win/timetable_host.h"
#include "planner/timetable/win/timetable_windows.h"
#include "planner/timetable/win/timetable_resource.h"
#include "common/win/modal_loop.h"

namespace {

// The scheme the page showed when it was last applied, under "Environment".
constexpr const char* kChosenSchemeValue = "Color list";

const int kColourButtons[] = {IDC_COLOUR_MARGIN,    IDC_COLOUR_TITLE_TEXT,   IDC_COLOUR_TITLE_BACK,
                              IDC_COLOUR_HOUR_TEXT, IDC_COLOUR_HOUR_BACK,    IDC_COLOUR_PROGRAM_TEXT,
                              IDC_COLOUR_PROGRAM_BACK};

// Dialog 172: the name of a scheme to register.
class CSchemeNameDialog : public DialogImpl<CSchemeNameDialog> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  std::string name;

 private:
  INT_PTR OnInit(WPARAM, LPARAM) {
    SendMessageW(Item(IDC_SCHEME_NAME_EDIT), EM_LIMITTEXT, kSchemeNameMax / 2, 0);
    return TRUE;
  }
  void OnOk() {
    wchar_t text[256] = {};
    GetDlgItemTextW(Handle(), IDC_SCHEME_NAME_EDIT, text, 255);
    name = WideToCp932(text);
    name.resize(FitToBytes(name, kSchemeNameMax));
    End(IDOK);
  }
  void OnCancel() { End(IDCANCEL); }
};
const CSchemeNameDialog::MessageEntry CSchemeNameDialog::kMessages[] = {{WM_INITDIALOG, &CSchemeNameDialog::OnInit},
                                                                       {0, nullptr}};
const CSchemeNameDialog::CommandEntry CSchemeNameDialog::kCommands[] = {
    {IDOK, &CSchemeNameDialog::OnOk}, {IDCANCEL, &CSchemeNameDialog::OnCancel}, {0, nullptr}};

}  // namespace

CColourPage::CColourPage(TimetableModel& model, TimetableHost& host) : model_(model), host_(host) {
  std::fill(std::begin(custom_), std::end(custom_), RGB(255, 255, 255));
}

PROPSHEETPAGEW CColourPage::Page() {
  PROPSHEETPAGEW page = {};
  page.dwSize = sizeof page;
  page.hInstance = GetModuleHandleW(nullptr);
  page.pszTemplate = MAKEINTRESOURCEW(IDD_COLOUR_PAGE);
  static const std::wstring title = Cp932ToWide(J(u8" 配色デザイン "));
  page.dwFlags = PSP_USETITLE;
  page.pszTitle = title.c_str();
  page.pfnDlgProc = &CColourPage::Proc;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

INT_PTR CALLBACK CColourPage::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CColourPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
    self->OnInit();
    return TRUE;
  }
  auto* self = reinterpret_cast<CColourPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == PSN_APPLY) {
    self->OnApply();
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
  }
  return self->Handle(message, wParam, lParam);
}

INT_PTR CALLBACK CColourPage::ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CColourPage*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
    self->OnInit();
    return TRUE;
  }
  auto* self = reinterpret_cast<CColourPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (message == WM_NCDESTROY && self) self->hwnd_ = nullptr;
  return self ? self->Handle(message, wParam, lParam) : FALSE;
}

HWND CColourPage::CreateChild(HWND sheet) {
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_COLOUR_PAGE), sheet, &CColourPage::ChildProc,
                            reinterpret_cast<LPARAM>(this));
}

INT_PTR CColourPage::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_DRAWITEM: OnDrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_NOTIFY: {
      const NMHDR* n = reinterpret_cast<NMHDR*>(lParam);
      if (n->code == UDN_DELTAPOS && n->idFrom == IDC_COLOUR_HOUR_SPIN) {
        // The edit shows the new hour after the spin moved.
        PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IDC_COLOUR_HOUR, EN_CHANGE), 0);
      }
      return FALSE;
    }
    default: return FALSE;
  }
}

bool CColourPage::Changed() const {
  if (!hwnd_) return false;
  const ColourTables& a = colours_;
  const ColourTables& b = savedColours_;
  if (a.outside != b.outside || a.titleBack != b.titleBack || a.titleText != b.titleText ||
      a.timeBack != b.timeBack || a.timeText != b.timeText)
    return true;
  for (int r = 0; r < kStateRows; ++r)
    for (int g = 0; g < kColourGroups; ++g)
      if (a.programBack[r][g] != b.programBack[r][g] || a.programText[r][g] != b.programText[r][g]) return true;
  return font_.face != savedFont_.face || font_.bold != savedFont_.bold || font_.italic != savedFont_.italic ||
         font_.size != savedFont_.size || ChosenScheme() != savedScheme_;
}

bool CColourPage::Save() {
  if (!hwnd_) return true;
  OnApply();
  return true;
}

void CColourPage::OnInit() {
  // Every value as the registry holds it now.
  PlannerSettings& s = model_.Settings();
  colours_ = ReadColourTables(s);
  font_ = ReadFontChoice(s);
  outsideAtOpen_ = colours_.outside;
  SendDlgItemMessageW(hwnd_, IDC_COLOUR_HOUR_SPIN, UDM_SETRANGE32, 0, 23);
  SendDlgItemMessageW(hwnd_, IDC_COLOUR_HOUR_SPIN, UDM_SETPOS32, 0, 0);
  SetDlgItemInt(hwnd_, IDC_COLOUR_HOUR, 0, FALSE);
  HWND states = GetDlgItem(hwnd_, IDC_COLOUR_STATE);
  for (const char* name : kStateNamesUtf8)
    SendMessageW(states, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Cp932ToWide(J(name)).c_str()));
  SendMessageW(states, CB_SETCURSEL, 0, 0);
  // Only the standard colours are edited here: the group controls stay hidden.
  for (int id : {IDC_COLOUR_GROUP, IDC_COLOUR_EDIT_GROUPS, IDC_COLOUR_GROUP_LABEL})
    ShowWindow(GetDlgItem(hwnd_, id), SW_HIDE);
  ShowFont();
  FillSchemes(s.Text(peer::kEnvironmentSubKey, kChosenSchemeValue));
  savedColours_ = colours_;
  savedFont_ = font_;
  savedScheme_ = ChosenScheme();
}

void CColourPage::FillSchemes(const std::string& select) {
  HWND combo = GetDlgItem(hwnd_, IDC_COLOUR_SCHEME);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  schemeNames_.clear();
  for (const ColourScheme& c : ColourSchemeFile(model_.Files(), model_.SchemePath()).Load()) {
    schemeNames_.push_back(c.name);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Cp932ToWide(c.name).c_str()));
  }
  auto it = std::find(schemeNames_.begin(), schemeNames_.end(), select);
  SendMessageW(combo, CB_SETCURSEL, it == schemeNames_.end() ? static_cast<WPARAM>(-1) : it - schemeNames_.begin(), 0);
}

std::string CColourPage::ChosenScheme() const {
  LRESULT s = SendDlgItemMessageW(hwnd_, IDC_COLOUR_SCHEME, CB_GETCURSEL, 0, 0);
  if (s == CB_ERR || static_cast<std::size_t>(s) >= schemeNames_.size()) return std::string();
  return schemeNames_[static_cast<std::size_t>(s)];
}

int CColourPage::Hour() const {
  BOOL ok = FALSE;
  const UINT h = GetDlgItemInt(hwnd_, IDC_COLOUR_HOUR, &ok, FALSE);
  return ok ? static_cast<int>(std::min<UINT>(h, 23)) : 0;
}

int CColourPage::StateRow() const {
  LRESULT s = SendDlgItemMessageW(hwnd_, IDC_COLOUR_STATE, CB_GETCURSEL, 0, 0);
  return s == CB_ERR ? 0 : std::max(0, std::min(static_cast<int>(s), kStateRows - 1));
}

Colour* CColourPage::ColourOf(int id) {
  switch (id) {
    case IDC_COLOUR_MARGIN: return &colours_.outside;
    case IDC_COLOUR_TITLE_TEXT: return &colours_.titleText;
    case IDC_COLOUR_TITLE_BACK: return &colours_.titleBack;
    case IDC_COLOUR_HOUR_TEXT: return &colours_.timeText[Hour()];
    case IDC_COLOUR_HOUR_BACK: return &colours_.timeBack[Hour()];
    case IDC_COLOUR_PROGRAM_TEXT: return &colours_.programText[StateRow()][0];
    case IDC_COLOUR_PROGRAM_BACK: return &colours_.programBack[StateRow()][0];
    default: return nullptr;
  }
}

void CColourPage::ValueChanged() {
  if (onChanged) onChanged(hwnd_);
  for (int id : kColourButtons) InvalidateRect(GetDlgItem(hwnd_, id), nullptr, FALSE);
}

void CColourPage::OnCommand(int id, int code) {
  switch (id) {
    case IDC_COLOUR_SCHEME:
      if (code == CBN_SELCHANGE) LoadScheme();
      return;
    case IDC_COLOUR_REGISTER: RegisterScheme(); return;
    case IDC_COLOUR_DELETE: DeleteScheme(); return;
    case IDC_COLOUR_FONT_CHANGE: PickFont(); return;
    case IDC_COLOUR_BOLD:
      font_.bold = IsDlgButtonChecked(hwnd_, IDC_COLOUR_BOLD) == BST_CHECKED;
      ValueChanged();
      return;
    case IDC_COLOUR_ITALIC:
      font_.italic = IsDlgButtonChecked(hwnd_, IDC_COLOUR_ITALIC) == BST_CHECKED;
      ValueChanged();
      return;
    case IDC_COLOUR_HOUR:
      if (code == EN_CHANGE) ValueChanged();
      return;
    case IDC_COLOUR_STATE:
      if (code == CBN_SELCHANGE) ValueChanged();
      return;
    default:
      if (ColourOf(id) && code == BN_CLICKED) PickColour(id);
      return;
  }
}

void CColourPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
  Colour* c = ColourOf(static_cast<int>(item.CtlID));
  RECT r = item.rcItem;
  DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | ((item.itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
  if (!c) return;
  InflateRect(&r, -4, -4);
  SetDCBrushColor(item.hDC, *c);
  FillRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  FrameRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void CColourPage::PickColour(int id) {
  Colour* c = ColourOf(id);
  CHOOSECOLORW cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = hwnd_;
  cc.rgbResult = *c;
  cc.lpCustColors = custom_;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&cc)) return;
  *c = cc.rgbResult & 0x00FFFFFF;
  ValueChanged();
}

void CColourPage::PickFont() {
  LOGFONTW lf = {};
  lf.lfHeight = -Scaled(font_.size);
  lf.lfWeight = font_.bold ? 700 : 400;
  lf.lfItalic = static_cast<BYTE>(font_.italic);
  lf.lfCharSet = SHIFTJIS_CHARSET;
  const std::wstring face = Cp932ToWide(font_.face);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  CHOOSEFONTW cf = {};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = hwnd_;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  {
    ModalLoop loop;
    if (!ChooseFontW(&cf)) return;
  }
  std::string chosen = WideToCp932(lf.lfFaceName);
  chosen.resize(FitToBytes(chosen, kFontFaceMax));
  font_.face = chosen;
  // The chooser answers with the character height in the screen's pixels
  // (negative), kept at 96 dpi; the grid keeps sizes the settings accept, as
  // the stored value is read back.
  const int height = UnscaleForDpi(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, ScreenDpi());
  if (height >= 4 && height <= 150) font_.size = height;
  font_.bold = lf.lfWeight >= 700;
  font_.italic = lf.lfItalic ? 1 : 0;
  ShowFont();
  ValueChanged();
}

void CColourPage::ShowFont() {
  SetDlgItemTextW(hwnd_, IDC_COLOUR_FONT_FACE, Cp932ToWide(font_.face).c_str());
  CheckDlgButton(hwnd_, IDC_COLOUR_BOLD, font_.bold ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hwnd_, IDC_COLOUR_ITALIC, font_.italic ? BST_CHECKED : BST_UNCHECKED);
}

void CColourPage::LoadScheme() {
  const std::string name = ChosenScheme();
  for (const ColourScheme& s : ColourSchemeFile(model_.Files(), model_.SchemePath()).Load()) {
    if (s.name != name) continue;
    colours_ = s.colours;
    font_ = s.font;
    ShowFont();
    ValueChanged();
    return;
  }
}

void CColourPage::RegisterScheme() {
  CSchemeNameDialog ask;
  if (ask.RunModal(GetModuleHandleW(nullptr), IDD_SCHEME_NAME, hwnd_) != IDOK || ask.name.empty()) return;
  ColourScheme scheme;
  scheme.name = ask.name;
  scheme.font = font_;
  scheme.colours = colours_;
  ColourSchemeFile file(model_.Files(), model_.SchemePath());
  if (!file.Register(scheme)) {
    const std::wstring text = Cp932ToWide(model_.SchemePath() + J(u8" に配色を書き込めませんでした。"));
    ModalLoop loop;
    MessageBoxW(hwnd_, text.c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  FillSchemes(scheme.name);
}

void CColourPage::DeleteScheme() {
  const std::string name = ChosenScheme();
  if (name.empty()) {
    host_.ShowMessage(hwnd_, IDS_NO_SCHEME_CHOSEN);
    return;
  }
  ColourSchemeFile(model_.Files(), model_.SchemePath()).Remove(name);
  FillSchemes(std::string());
}

void CColourPage::OnApply() {
  colours_.DeriveRows();
  model_.ApplyColours(colours_, font_);
  model_.Settings().SetText(peer::kEnvironmentSubKey, kChosenSchemeValue, ChosenScheme());
  model_.Doc().fontSizeBase = font_.size;
  applied_ = true;
  savedColours_ = colours_;
  savedFont_ = font_;
  savedScheme_ = ChosenScheme();
  // The margin colour is read once at start-up.
  if (colours_.outside != outsideAtOpen_) host_.ShowMessage(hwnd_, IDS_MARGIN_NEXT_START);
}

bool RunColourPageDialog(HWND owner, TimetableModel& model, TimetableHost& host) {
  CColourPage page(model, host);
  page.onChanged = [](HWND pageWindow) {
    if (HWND sheet = GetParent(pageWindow)) PropSheet_Changed(sheet, pageWindow);
  };
  PROPSHEETPAGEW p = page.Page();
  HPROPSHEETPAGE handle = CreatePropertySheetPageW(&p);
  if (!handle) return false;
  PROPSHEETHEADERW header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_NOAPPLYNOW;
  header.hwndParent = owner;
  header.hInstance = GetModuleHandleW(nullptr);
  const std::wstring caption = Cp932ToWide(J(u8"番組表の配色デザインの設定"));
  header.pszCaption = caption.c_str();
  header.nPages = 1;
  header.phpage = &handle;
  {
    ModalLoop loop;
    PropertySheetW(&header);
  }
  return page.Applied();
}
