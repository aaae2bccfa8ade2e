// Printing a rich text box page by page, laid out for the printer's own device.
// Every printer call goes through one seam, so the paging can be tested without a
// printer.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <richedit.h>
// The dialog header names a macro after the report's search text (FindText).
#undef FindText

#include <cstdint>
#include <functional>

#include "RichTextBox.h"

struct PrinterCalls {
  std::function<BOOL(PRINTDLGA*)> PrintDlg;
  std::function<int(HDC, const DOCINFOA*)> StartDoc;
  std::function<int(HDC)> StartPage, EndPage, EndDoc, AbortDoc;
  std::function<int(HDC, int)> GetDeviceCaps;
  std::function<BOOL(HDC)> DeleteDC;
  // EM_FORMATRANGE to the box: render (1) or measure, a null range frees the cache.
  std::function<LRESULT(HWND box, WPARAM render, FORMATRANGE* range)> FormatRange;
};
// The system's calls; tests replace members and put them back with ResetPrinterCalls.
extern PrinterCalls Printer;
void ResetPrinterCalls();

// Prints the whole text of the box on the device context, margins in twips from the
// physical page's edges. Answers 0, or the system's error of a document or page call
// (the job is then aborted). The control's cache is freed on every way out.
DWORD PrintRichText(HWND box, HDC printer, int32_t leftMarginWidth, int32_t topMarginHeight,
                    int32_t rightMarginWidth, int32_t bottomMarginHeight);

// The report's "Print ...": the Print dialog, then one job per copy with one-inch
// margins. A cancelled dialog prints nothing and says nothing; a failed job shows the
// system's text.
void PrintReport(ui::RichTextBox& box, HWND owner);
