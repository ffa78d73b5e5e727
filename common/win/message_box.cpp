#include "common/win/message_box.h"

#include "common/text.h"
#include "common/win/modal_loop.h"

int ShowMessageBox(HWND owner, const std::string& textCp932, const std::string& captionCp932, UINT flags) {
  ModalLoop loop;
  return MessageBoxW(owner, Cp932ToWide(textCp932).c_str(), Cp932ToWide(captionCp932).c_str(), flags);
}
