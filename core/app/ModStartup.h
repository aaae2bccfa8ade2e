// Start-up of the program: one instance, the platform, the settings, the windows that
// live for the whole run, the first run and the program's own registration.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "HistogramCls.h"
#include "ModStartupPlatform.h"
#include "PerfHistories.h"

extern bool IsStartingUp;  // view changes while settings load do not refresh the lists
extern COLORREF InterfaceBackColor;
extern COLORREF FormBackColor;
extern COLORREF InterfaceToolbarColor;
// Creates the CPU, memory and traffic histories, counting from now.
void CreateSampleHistories();

// The titles and widths of the two lists' columns on this family of Windows, taken
// from the column tables (ListColumns.h) at start-up.
extern std::vector<std::string> AppColTitles;
extern std::vector<double> AppColWidths;
extern std::vector<std::string> WndColTitles;
extern std::vector<double> WndColWidths;
void BuildColumnTables();

// The message a second copy shows before it ends.
std::string PrevInstanceMessage();

// The whole start-up, then the main loop.
void Main();
// The start-up alone: false when another copy is running (this one then ends).
bool StartUp();

bool IsPrevInstance();
void ReleaseInstanceMark();  // lets a later start in this process count as the first again
void CreateAppMutex();
bool CheckFirstRun();
bool CheckFirstRunFor(const std::string& exeFileName);
bool RegisterAppPath(const std::string& exeFileName);
void FirstRunSetup();
void MakeRoundForm(HWND window, int radius);
