// The lists page's pictures, drawn by the program itself as the frame's are: one per
// command button (the same key may mean another command on another bar, so the bar
// is named too) and the six of the view-mode bar. Each is made once and lives as long
// as the program; the bars leave out ui::kPictureMask.
#pragma once
#include <windows.h>

#include <string>

#include "DrawnPicture.h"

// 24 x 24 pixels. bar: "ProgBar1", "ProgBar2", "WndBar1" or "WndBar2".
HBITMAP CommandPicture(const std::string& bar, const std::string& key);
// The view-mode bar's pictures, 1 to 6: 1 to 4 the "ProgWnd" button in modes 1 to 4
// (1 and 2 programs to windows, 3 and 4 windows to programs; 2 and 4 faded, as both
// lists then show everything), 5 the "All" button down, 6 up.
HBITMAP ModePicture(int index);
