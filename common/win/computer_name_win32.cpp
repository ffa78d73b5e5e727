// GetComputerNameW, converted to cp932.
#include "common/computer_name.h"

#include <windows.h>

#include "common/text.h"

std::string ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &size)) return std::string();
  return WideToCp932(std::wstring(name, size));
}
