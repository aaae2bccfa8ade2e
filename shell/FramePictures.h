// The frame's pictures, drawn by the program itself: one per command and page button,
// the drop-down arrow (normal and pressed) and the logo. Each is made once and lives
// as long as the program.
#pragma once
#include <windows.h>

#include <string>

#include "DrawnPicture.h"

using ui::kPictureMask;

HBITMAP ButtonPicture(const std::string& key);  // 24 x 24 pixels
HBITMAP DwnArrNormal();
HBITMAP DwnArrDown();
HBITMAP LogoPicture();
