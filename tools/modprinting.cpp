#include "modprinting.h"

#include "LateBinding.h"
#include "Logfrm.h"
#include "ModMainPlatform.h"
#include "StallMeter.h"

PrinterCalls Printer;

void ResetPrinterCalls() {
  Printer.PrintDlg = [](PRINTDLGA* dialog) {
    ui::UserWait choosing;
    // The common dialogs bring the print spooler and its network libraries: loaded
    // when the user first prints, not at start.
    using PrintDlgFn = BOOL(WINAPI*)(PRINTDLGA*);
    static const auto printDlg = LateBound<PrintDlgFn>("comdlg32.dll", "PrintDlgA");
    return printDlg ? printDlg(dialog) : FALSE;
  };
  Printer.StartDoc = [](HDC dc, const DOCINFOA* doc) { return StartDocA(dc, doc); };
  Printer.StartPage = [](HDC dc) { return StartPage(dc); };
  Printer.EndPage = [](HDC dc) { return EndPage(dc); };
  Printer.EndDoc = [](HDC dc) { return EndDoc(dc); };
  Printer.AbortDoc = [](HDC dc) { return AbortDoc(dc); };
  Printer.GetDeviceCaps = [](HDC dc, int index) { return GetDeviceCaps(dc, index); };
  Printer.DeleteDC = [](HDC dc) { return DeleteDC(dc); };
  Printer.FormatRange = [](HWND box, WPARAM render, FORMATRANGE* range) {
    return SendMessageA(box, EM_FORMATRANGE, render, reinterpret_cast<LPARAM>(range));
  };
}

namespace {

const bool printerCallsReady = (ResetPrinterCalls(), true);

int32_t ToTwips(int pixels, int perInch) { return perInch > 0 ? MulDiv(pixels, 1440, perInch) : 0; }

DWORD LastErrorOr(DWORD fallback) {
  const DWORD error = GetLastError();
  return error ? error : fallback;
}

DWORD PrintPages(HWND box, HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const int dpiX = Printer.GetDeviceCaps(dc, LOGPIXELSX), dpiY = Printer.GetDeviceCaps(dc, LOGPIXELSY);
  const int32_t leftOffset = ToTwips(Printer.GetDeviceCaps(dc, PHYSICALOFFSETX), dpiX);
  const int32_t topOffset = ToTwips(Printer.GetDeviceCaps(dc, PHYSICALOFFSETY), dpiY);
  const int32_t pageWidth = ToTwips(Printer.GetDeviceCaps(dc, PHYSICALWIDTH), dpiX);
  const int32_t pageHeight = ToTwips(Printer.GetDeviceCaps(dc, PHYSICALHEIGHT), dpiY);
  FORMATRANGE range = {};
  range.hdc = range.hdcTarget = dc;
  range.rc = {left - leftOffset, top - topOffset, (pageWidth - right) - leftOffset, (pageHeight - bottom) - topOffset};
  range.rcPage = {0, 0, ToTwips(Printer.GetDeviceCaps(dc, HORZRES), dpiX),
                  ToTwips(Printer.GetDeviceCaps(dc, VERTRES), dpiY)};
  range.chrg = {0, -1};
  // In the control's own positions: "RICHEDIT" counts a line end as two, as the
  // answers of EM_FORMATRANGE do.
  const LRESULT length = SendMessageA(box, WM_GETTEXTLENGTH, 0, 0);
  for (;;) {
    const LRESULT next = Printer.FormatRange(box, 1, &range);
    // Done, or a page that laid out nothing more (a control that cannot render
    // would otherwise print blank pages for ever).
    if (next >= length || next <= range.chrg.cpMin) break;
    range.chrg.cpMin = static_cast<LONG>(next);
    if (Printer.EndPage(dc) <= 0) return LastErrorOr(ERROR_PRINT_CANCELLED);
    if (Printer.StartPage(dc) <= 0) return LastErrorOr(ERROR_PRINT_CANCELLED);
  }
  return 0;
}

}  // namespace

DWORD PrintRichText(HWND box, HDC printer, int32_t leftMarginWidth, int32_t topMarginHeight,
                    int32_t rightMarginWidth, int32_t bottomMarginHeight) {
  DOCINFOA doc = {};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = "Quillon Report";
  SetLastError(0);
  if (Printer.StartDoc(printer, &doc) <= 0) return LastErrorOr(ERROR_PRINT_CANCELLED);
  DWORD error = 0;
  if (Printer.StartPage(printer) <= 0)
    error = LastErrorOr(ERROR_PRINT_CANCELLED);
  else
    error = PrintPages(box, printer, leftMarginWidth, topMarginHeight, rightMarginWidth, bottomMarginHeight);
  if (!error && Printer.EndPage(printer) <= 0) error = LastErrorOr(ERROR_PRINT_CANCELLED);
  if (error)
    Printer.AbortDoc(printer);
  else if (Printer.EndDoc(printer) <= 0)
    error = LastErrorOr(ERROR_PRINT_CANCELLED);
  Printer.FormatRange(box, 0, nullptr);
  return error;
}

void PrintReport(ui::RichTextBox& box, HWND owner) {
  PRINTDLGA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.Flags = PD_HIDEPRINTTOFILE | PD_COLLATE | PD_NOPAGENUMS | PD_NOSELECTION | PD_RETURNDC;
  dialog.nCopies = 1;
  // Cancelled, or no printer to choose: nothing printed, nothing said.
  if (!Printer.PrintDlg(&dialog)) return;
  if (dialog.hDC) {
    const int copies = dialog.nCopies > 0 ? dialog.nCopies : 1;
    for (int copy = 0; copy < copies; ++copy) {
      const DWORD error = PrintRichText(box.hwnd(), dialog.hDC, 1440, 1440, 1440, 1440);
      if (error) {
        MsgBox(SystemErrorText(error), MB_OK | MB_ICONEXCLAMATION, owner);
        break;
      }
    }
    Printer.DeleteDC(dialog.hDC);
  }
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
}
