#pragma once
// The program keeps paths and message texts in the system's code page (as
// the core's file calls take them) and the small windows' texts in UTF-8;
// the windows themselves are Unicode, so every text crosses here.
#include <windows.h>

#include <string>

namespace tarnwick::win32ui {

std::wstring Wide(const std::string& text, UINT codePage = CP_ACP);
std::string Narrow(const std::wstring& text, UINT codePage = CP_ACP);

void SetText(HWND window, const std::string& text, UINT codePage = CP_ACP);
std::string GetText(HWND window, UINT codePage = CP_ACP);

} // namespace tarnwick::win32ui
