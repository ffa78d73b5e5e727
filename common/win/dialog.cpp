#include "common/win/dialog.h"

#include "common/text.h"
#include "common/win/modal_loop.h"

INT_PTR Dialog::RunModal(HINSTANCE instance, int resourceId, HWND parent) {
  modal_ = true;
  // DialogBox's own loop ends the window; the object's end must not.
  SetOwnsWindow(false);
  ModalLoop loop;
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(resourceId), parent, &Dialog::Proc,
                         reinterpret_cast<LPARAM>(this));
}

HWND Dialog::CreateModeless(HINSTANCE instance, int resourceId, HWND parent) {
  modal_ = false;
  SetOwnsWindow(true);
  return CreateDialogParamW(instance, MAKEINTRESOURCEW(resourceId), parent, &Dialog::Proc,
                            reinterpret_cast<LPARAM>(this));
}

PROPSHEETPAGEW Dialog::SheetPage(HINSTANCE instance, int resourceId, const wchar_t* title) {
  modal_ = false;
  SetOwnsWindow(true);
  PROPSHEETPAGEW page = {};
  page.dwSize = sizeof page;
  page.hInstance = instance;
  page.pszTemplate = MAKEINTRESOURCEW(resourceId);
  if (title) {
    page.dwFlags = PSP_USETITLE;
    page.pszTitle = title;
  }
  page.pfnDlgProc = &Dialog::PageProc;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

void Dialog::End(INT_PTR result) {
  if (!Handle()) return;
  StopAllTimers();
  EndDialog(Handle(), result);
}

std::string Dialog::ItemText(int id) const {
  HWND item = Item(id);
  const int length = GetWindowTextLengthW(item);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(item, &text[0], length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return WideToCp932(text);
}

void Dialog::SetItemText(int id, const std::string& cp932) {
  SetDlgItemTextW(Handle(), id, Cp932ToWide(cp932).c_str());
}

bool Dialog::ItemNumber(int id, UINT* value) const {
  BOOL ok = FALSE;
  const UINT n = GetDlgItemInt(Handle(), id, &ok, FALSE);
  if (ok) *value = n;
  return ok != FALSE;
}

void Dialog::SetItemNumber(int id, UINT value) { SetDlgItemInt(Handle(), id, value, FALSE); }

void Dialog::SetTitle(const std::string& cp932) { SetWindowTextW(Handle(), Cp932ToWide(cp932).c_str()); }

bool Dialog::DefaultCommand(WPARAM wParam) {
  const int id = LOWORD(wParam);
  if (id != IDOK && id != IDCANCEL) return false;
  if (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_CHILD) return false;
  if (modal_) End(id);
  else Destroy();
  return true;
}

INT_PTR CALLBACK Dialog::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = message == WM_INITDIALOG ? reinterpret_cast<Dialog*>(lParam) : static_cast<Dialog*>(From(hwnd, DWLP_USER));
  return Run(self, hwnd, message, wParam, lParam);
}

// A page's WM_INITDIALOG carries its PROPSHEETPAGE, whose lParam is the object.
INT_PTR CALLBACK Dialog::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = message == WM_INITDIALOG ? reinterpret_cast<Dialog*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam)
                                          : static_cast<Dialog*>(From(hwnd, DWLP_USER));
  return Run(self, hwnd, message, wParam, lParam);
}

INT_PTR Dialog::Run(Dialog* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!self) return FALSE;
  if (message == WM_INITDIALOG) self->Attach(hwnd);
  INT_PTR result = FALSE;
  bool handled = self->Dispatch(message, wParam, lParam, &result);
  if (!handled && message == WM_COMMAND && self->DefaultCommand(wParam)) {
    handled = true;
    result = TRUE;
  }
  if (message == WM_NCDESTROY) self->DetachAtDestroy();
  return handled ? result : FALSE;
}

std::string LoadCp932String(HINSTANCE instance, UINT id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return std::string();
  return WideToCp932(std::wstring(text, static_cast<std::size_t>(length)));
}
