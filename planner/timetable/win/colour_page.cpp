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
    name = ItemText(IDC_SCHEME_NAME_EDIT);
    name.resize(FitToBytes(name, kSchemeNameMax));
    End(IDOK);
  }
};
const CSchemeNameDialog::MessageEntry CSchemeNameDialog::kMessages[] = {{WM_INITDIALOG, &CSchemeNameDialog::OnInit},
                                                                       {0, nullptr}};
const CSchemeNameDialog::CommandEntry CSchemeNameDialog::kCommands[] = {
    {IDOK, &CSchemeNameDialog::OnOk}, {0, nullptr}};

}  // namespace

CColourPage::CColourPage(TimetableModel& model, TimetableHost& host) : model_(model), host_(host) {
  std::fill(std::begin(custom_), std::end(custom_), RGB(255, 255, 255));
}

const CColourPage::MessageEntry CColourPage::kMessages[] = {
    {WM_INITDIALOG, &CColourPage::OnInit},
    {WM_DRAWITEM, &CColourPage::OnDrawItem},
    {WM_NOTIFY, &CColourPage::OnNotify},
    {0, nullptr},
};

const CColourPage::CommandEntry CColourPage::kCommands[] = {
    {IDC_COLOUR_SCHEME, CBN_SELCHANGE, &CColourPage::LoadScheme},
    {IDC_COLOUR_REGISTER, &CColourPage::RegisterScheme},
    {IDC_COLOUR_DELETE, &CColourPage::DeleteScheme},
    {IDC_COLOUR_FONT_CHANGE, &CColourPage::PickFont},
    {IDC_COLOUR_BOLD, &CColourPage::OnBold},
    {IDC_COLOUR_ITALIC, &CColourPage::OnItalic},
    {IDC_COLOUR_HOUR, EN_CHANGE, &CColourPage::ValueChanged},
    {IDC_COLOUR_STATE, CBN_SELCHANGE, &CColourPage::ValueChanged},
    {IDC_COLOUR_MARGIN, BN_CLICKED, &CColourPage::OnColourButton},
    {IDC_COLOUR_TITLE_TEXT, BN_CLICKED, &CColourPage::OnColourButton},
    {IDC_COLOUR_TITLE_BACK, BN_CLICKED, &CColourPage::OnColourButton},
    {IDC_COLOUR_HOUR_TEXT, BN_CLICKED, &CColourPage::OnColourButton},
    {IDC_COLOUR_HOUR_BACK, BN_CLICKED, &CColourPage::OnColourButton},
    {IDC_COLOUR_PROGRAM_TEXT, BN_CLICKED, &CColourPage::OnColourButton},
    {IDC_COLOUR_PROGRAM_BACK, BN_CLICKED, &CColourPage::OnColourButton},
    {0, nullptr},
};

PROPSHEETPAGEW CColourPage::Page() {
  static const std::wstring title = Cp932ToWide(J(u8" 配色デザイン "));
  return SheetPage(GetModuleHandleW(nullptr), IDD_COLOUR_PAGE, title.c_str());
}

HWND CColourPage::CreateChild(HWND sheet) {
  return CreateModeless(GetModuleHandleW(nullptr), IDD_COLOUR_PAGE, sheet);
}

INT_PTR CColourPage::OnNotify(WPARAM, LPARAM lParam) {
  const NMHDR* n = reinterpret_cast<NMHDR*>(lParam);
  if (n->code == PSN_APPLY) {
    OnApply();
    SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
  }
  if (n->code == UDN_DELTAPOS && n->idFrom == IDC_COLOUR_HOUR_SPIN) {
    // The edit shows the new hour after the spin moved.
    PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(IDC_COLOUR_HOUR, EN_CHANGE), 0);
  }
  return FALSE;
}

bool CColourPage::Changed() const {
  if (!Handle()) return false;
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
  if (!Handle()) return true;
  OnApply();
  return true;
}

INT_PTR CColourPage::OnInit(WPARAM, LPARAM) {
  // Every value as the registry holds it now.
  PlannerSettings& s = model_.Settings();
  colours_ = ReadColourTables(s);
  font_ = ReadFontChoice(s);
  outsideAtOpen_ = colours_.outside;
  SendMessageW(Item(IDC_COLOUR_HOUR_SPIN), UDM_SETRANGE32, 0, 23);
  SendMessageW(Item(IDC_COLOUR_HOUR_SPIN), UDM_SETPOS32, 0, 0);
  SetItemNumber(IDC_COLOUR_HOUR, 0);
  HWND states = Item(IDC_COLOUR_STATE);
  for (const char* name : kStateNamesUtf8)
    SendMessageW(states, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Cp932ToWide(J(name)).c_str()));
  SendMessageW(states, CB_SETCURSEL, 0, 0);
  // Only the standard colours are edited here: the group controls stay hidden.
  for (int id : {IDC_COLOUR_GROUP, IDC_COLOUR_EDIT_GROUPS, IDC_COLOUR_GROUP_LABEL})
    ShowWindow(Item(id), SW_HIDE);
  ShowFont();
  FillSchemes(s.Text(peer::kEnvironmentSubKey, kChosenSchemeValue));
  savedColours_ = colours_;
  savedFont_ = font_;
  savedScheme_ = ChosenScheme();
  return TRUE;
}

void CColourPage::FillSchemes(const std::string& select) {
  HWND combo = Item(IDC_COLOUR_SCHEME);
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
  LRESULT s = SendMessageW(Item(IDC_COLOUR_SCHEME), CB_GETCURSEL, 0, 0);
  if (s == CB_ERR || static_cast<std::size_t>(s) >= schemeNames_.size()) return std::string();
  return schemeNames_[static_cast<std::size_t>(s)];
}

int CColourPage::Hour() const {
  UINT h = 0;
  return ItemNumber(IDC_COLOUR_HOUR, &h) ? static_cast<int>(std::min<UINT>(h, 23)) : 0;
}

int CColourPage::StateRow() const {
  LRESULT s = SendMessageW(Item(IDC_COLOUR_STATE), CB_GETCURSEL, 0, 0);
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
  if (onChanged) onChanged(Handle());
  for (int id : kColourButtons) InvalidateRect(Item(id), nullptr, FALSE);
}

void CColourPage::OnBold() {
  font_.bold = Checked(IDC_COLOUR_BOLD);
  ValueChanged();
}

void CColourPage::OnItalic() {
  font_.italic = Checked(IDC_COLOUR_ITALIC);
  ValueChanged();
}

void CColourPage::OnColourButton(int id, UINT) { PickColour(id); }

INT_PTR CColourPage::OnDrawItem(WPARAM, LPARAM lParam) {
  const DRAWITEMSTRUCT& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  Colour* c = ColourOf(static_cast<int>(item.CtlID));
  RECT r = item.rcItem;
  DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | ((item.itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
  if (!c) return TRUE;
  InflateRect(&r, -4, -4);
  SetDCBrushColor(item.hDC, *c);
  FillRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  FrameRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  return TRUE;
}

void CColourPage::PickColour(int id) {
  Colour* c = ColourOf(id);
  CHOOSECOLORW cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = Handle();
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
  cf.hwndOwner = Handle();
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
  SetItemText(IDC_COLOUR_FONT_FACE, font_.face);
  Check(IDC_COLOUR_BOLD, font_.bold);
  Check(IDC_COLOUR_ITALIC, font_.italic);
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
  if (ask.RunModal(GetModuleHandleW(nullptr), IDD_SCHEME_NAME, Handle()) != IDOK || ask.name.empty()) return;
  ColourScheme scheme;
  scheme.name = ask.name;
  scheme.font = font_;
  scheme.colours = colours_;
  ColourSchemeFile file(model_.Files(), model_.SchemePath());
  if (!file.Register(scheme)) {
    const std::wstring text = Cp932ToWide(model_.SchemePath() + J(u8" に配色を書き込めませんでした。"));
    ModalLoop loop;
    MessageBoxW(Handle(), text.c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  FillSchemes(scheme.name);
}

void CColourPage::DeleteScheme() {
  const std::string name = ChosenScheme();
  if (name.empty()) {
    host_.ShowMessage(Handle(), IDS_NO_SCHEME_CHOSEN);
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
  if (colours_.outside != outsideAtOpen_) host_.ShowMessage(Handle(), IDS_MARGIN_NEXT_START);
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
