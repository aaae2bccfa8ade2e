// Resource and control identifiers of the library.
#pragma once

#define IDD_PERF 203
#define IDD_DRIVES 204

// Performance window
#define IDC_CPU_GRAPH_PLACE 204
#define IDC_MEM_GRAPH_PLACE 205
#define IDC_TOTAL_PHYS 206
#define IDC_FREE_PHYS 207
#define IDC_FREE_VIRTUAL 208
#define IDC_TOTAL_VIRTUAL 209
#define IDC_FREE_PAGE 210
#define IDC_TOTAL_PAGE 211
#define IDC_CPU_PERCENT 215
#define IDC_PAGE_PERCENT 216
#define IDC_GRAPH 100

// Drives window
#define IDC_DRIVE_LIST 201
