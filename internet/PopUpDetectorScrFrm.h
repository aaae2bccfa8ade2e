// The small topmost notice shown for each pop-up the blocker catches: it slides up
// above the lower right corner, holds the pop-up hidden (or closes it at once, as the
// browser's entry says), re-tests its title and address against the white lists, and
// closes itself 5 s after it came up unless the cursor rests on it. Loaded at start and
// only shown and hidden after that.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "ButtonBar.h"
#include "Controls.h"
#include "Menu.h"
#include "PictureBox.h"
#include "Window.h"

namespace noticeseams {
// The system metrics the notice places itself by (the maximized size, the screen's).
extern std::function<int(int index)> SystemMetricFn;
// Offers the blocker's one-time explanation (message 1); true when it was shown.
extern std::function<bool(int16_t messageId, ui::Window* owner)> ShowFirstTimeFn;
void Reset();
}  // namespace noticeseams

class PopUpDetectorScrFrmForm : public ui::Window {
 public:
  PopUpDetectorScrFrmForm();

  ui::PictureBox TopImg;
  ui::Label ScreenLabel;
  ui::PictureBox InfoPic;
  ui::Label Label2_0, Label2_1;  // "Window Name :" and "URL :"
  ui::Label WnNameLbl, URLLbl;
  ui::ButtonBar asxToolbarClose;
  ui::ButtonBar asxToolbar1;
  ui::PictureBox Picture1;
  ui::Label lblShowWin;
  ui::Menu mnuSettingsBar;
  ui::MenuItem* mnuSettings = nullptr;
  ui::MenuItem* mnuSettingsItems0 = nullptr;  // "Browser settings"
  ui::MenuItem* mnuSettingsItems1 = nullptr;  // "General pop-up settings"

  // Announces a pop-up the scan found (a web page dialog: no title, browser 0).
  void ShowPop(const std::string& Title, int16_t BrowserIdx, HWND hWnd, int16_t SlotIdx, uint32_t ThreadId,
               int16_t IsWebDialog);
  void UpdateCurrentHeight();
  void AdjustControlsPositions();
  // One tick: the slide, the compact layout's growth under the cursor, the auto-close,
  // the end of a peek and the re-test of the title and address.
  void Timer1_Timer();
  // Lets the held pop-up go: shown (Show) or recorded and closed; the notice hides
  // unless KeepNotice.
  void CloseDetector(bool Show, bool KeepNotice);
  // Reads the held window's title and address again; true when either is white.
  bool Check_URL();

  void asxToolbar1_ButtonClick(int index);
  void asxToolbarClose_ButtonClick(int index);
  void mnuSettingsItems_Click(int index);
  void Picture1_MouseMove();

  // What tests and the program's end read.
  HWND PopHwnd() const { return popHwnd_; }
  int16_t BrowserIdx() const { return browserIdx_; }
  bool PeekShown() const { return peekShown_; }
  bool Compact() const { return asxToolbarClose.hwnd() ? tag_ == "1" : true; }
  int32_t BasicHeight() const { return basicHeight_; }
  int32_t FullHeight() const { return fullHeight_; }
  int32_t FinalTop() const { return finalTop_; }
  int32_t BottomLine() const { return bottomLine_; }
  int32_t TopTwips() const { return top_; }
  int32_t HeightTwips() const { return height_; }
  const std::string& PopTitle() const { return popTitle_; }
  // The explanation is offered once per run; the start of a run again.
  void ResetRunState();

 protected:
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int16_t HidePopOfEntry() const;
  int16_t PopDisNotfOfEntry() const;
  void WriteLines(const std::string& title, const std::string& address);
  void WriteTitleLine(const std::string& title);
  void WriteAddressLine(const std::string& address);
  void Place(int32_t top, int32_t height, bool show);
  int32_t NonClientHeight() const;
  bool CursorOn(const RECT& screenRect, POINT cursor) const;
  void StartDrag(ui::Control& handle, int button);
  void Drag(int button);
  void EndDrag();
  void BindDragHandle(ui::Control& handle);

  uint32_t startTick_ = 0;
  HWND popHwnd_ = nullptr;
  int16_t browserIdx_ = 0;
  bool isWebDialog_ = false;
  std::string popTitle_, lastTitle_;
  bool urlChecked_ = false;
  bool peekShown_ = false;
  // Positions and heights in twips: a tall screen (or a long drag) goes past 32767.
  int32_t basicHeight_ = 0, fullHeight_ = 0, finalTop_ = 0, bottomLine_ = 0;
  int32_t left_ = 0, top_ = 0, height_ = 0, width_ = 0;
  int32_t nonClientWidth_ = 0, nonClientHeight_ = 0;
  bool firstTimeShown_ = false;
  std::string tag_ = "1";
  HBITMAP banner_ = nullptr;
  bool picturesSet_ = false;
  POINT dragCursor_ = {0, 0};
  POINT dragWindow_ = {0, 0};
  ui::Control* dragging_ = nullptr;
};

extern PopUpDetectorScrFrmForm PopUpDetectorScrFrm;
