// Message boxes with cp932 texts.
#pragma once
#include <windows.h>

#include <string>

int ShowMessageBox(HWND owner, const std::string& textCp932, const std::string& captionCp932, UINT flags);
