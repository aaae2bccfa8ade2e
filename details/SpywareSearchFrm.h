// The spyware search window: a small topmost window at the bottom right of the
// screen that offers, for one program, the web searches of spywarelist.dat.
#pragma once
#include <string>
#include <vector>

#include "ButtonBar.h"
#include "Controls.h"
#include "Gdi.h"
#include "ListView.h"
#include "PictureBox.h"
#include "SpywareListParse.h"
#include "Timer.h"
#include "Window.h"

class SpywareSearchFrmForm : public ui::Window {
 public:
  SpywareSearchFrmForm();

  ui::PictureBox TopImg;
  ui::Label ScreenLabel;  // "Spyware Search"
  ui::Label Label1;       // "Process"
  ui::Label ProcNameLbl;
  ui::ListView LinksLV;
  ui::TextBox DescTxt;
  ui::Label WaitTxt;  // "Please wait ..."
  ui::Button detailsBtn;
  ui::ButtonBar asxToolbarClose;
  ui::Timer Timer1;

  std::string ProgPath;
  std::vector<SpywareLinkRecord> Links;
  // The list's file; tests point it elsewhere. Empty means the program folder's.
  std::string ListFile;

  void ShowSpywareSearchFrm(const std::string& progPath);

  void LinksLV_ItemClick(int row);
  void LinksLV_Click(int row);
  void detailsBtn_Click();
  void asxToolbarClose_ButtonClick(int index);
  void Timer1_Timer();

 protected:
  void Form_Load() override;

 private:
  void KeepDragPoint(int x, int y, HWND from);
  void DrawTitle(HDC dc);
  void TopImg_MouseMove(int button);
  POINT dragPoint_ = {0, 0};  // the pointer's place within the window at the mouse-down
  ui::OwnedBitmap topPicture_;
};

extern SpywareSearchFrmForm SpywareSearchFrm;
