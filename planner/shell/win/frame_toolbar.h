// The frame's tool bar (command 59392 shows and hides it): the planner's most
// used commands as buttons with the system's standard images.
#pragma once
#include <windows.h>

#include <functional>

// Creates the tool bar as a child of the frame; nullptr on failure.
HWND CreateFrameToolbar(HINSTANCE instance, HWND frame);
// Height of a visible tool bar, 0 when hidden or missing.
int ToolbarHeight(HWND toolbar);
// Enables each button as the menu would.
void UpdateToolbarButtons(HWND toolbar, const std::function<bool(int id)>& enabled);
