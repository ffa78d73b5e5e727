// Moves a new reception window to its place on the screen.
#pragma once
#include <windows.h>

// position: "受信メッセージ位置" (0 top left ... 4 bottom right).
void PlaceReceptionWindow(HWND window, int position);
