// The window base every form of the program derives from: created on first use,
// shown, hidden and unloaded like a form, with its messages routed to its controls.
#pragma once
#include <windows.h>
#include <map>
#include <functional>
#include <string>
#include <vector>

#include "Gdi.h"

namespace ui {

class Control;
class Timer;
class Menu;

// Why a form is being unloaded (the values the form handlers receive).
enum UnloadMode { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2, vbAppTaskManager = 3 };

// How a form looks when it is created (its design-time properties).
struct FormDesign {
  std::string caption;
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  DWORD exStyle = 0;
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
  int width = 320, height = 200;  // client area in pixels
  bool centred = false;           // centre on the work area at creation
  int iconId = 0;                 // icon resource of the program, 0 for none
  bool keyPreview = false;        // keys reach Form_KeyDown before the focused control
  // Tab and Shift+Tab walk the controls, arrows move between option buttons, Enter
  // presses the default button and Esc the cancel button.
  bool dialogKeys = true;
  // Shown, a top-level form lies whole on the open work area (see OpenWorkArea); the
  // docked bar itself and the forms that slide in from an edge say no.
  bool keepOnWorkArea = true;
};

// The band a docked bar of this program holds, in screen pixels; nullptr when none.
// Where the shell leaves it in the work area (Wine never shrinks the work area),
// forms still open clear of it.
void SetDockedBand(const RECT* band);
// The work area less the docked band: where a form opens.
RECT OpenWorkArea();
// The top left that puts a window of this place and size whole on that area, as near
// as it can be to where it is.
POINT PlaceOnWorkArea(const RECT& window);

class Window {
 public:
  explicit Window(FormDesign design);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  bool Load();  // creates the window and its controls once, then runs Form_Load
  void Show();
  void Hide();  // a page that held the focus hands it to the form around it
  // Puts the keyboard focus into the shown form: on its control that had it last, else
  // its first control, else the form itself. False while it is not shown.
  bool TakeFocus();
  bool Unload();  // false when the form refused
  // Shows the form and returns once it is hidden or unloaded; meanwhile `owner` (if
  // any) takes no input. Messages keep flowing through the shared pump.
  void ShowModal(Window* owner = nullptr);
  bool Modal() const { return modal_; }
  bool Loaded() const { return hwnd_ != nullptr; }
  bool Visible() const;
  HWND hwnd() const { return hwnd_; }

  std::string Caption() const;
  void SetCaption(const std::string& text);
  void SetBackColor(COLORREF colour);
  // Paints the client area as horizontal bands (top to bottom), as a persistent background.
  void SetBackgroundBands(std::vector<COLORREF> bands);
  bool HasPaintedBackground() const { return !bands_.empty(); }
  COLORREF BackColor() const { return backColour_; }
  HBRUSH BackBrush() const;
  int ScaleWidth() const;   // client size in pixels
  int ScaleHeight() const;
  void SetMenu(Menu* menu);
  bool KeyPreview() const { return design_.keyPreview; }
  void SetKeyPreview(bool on) { design_.keyPreview = on; }
  bool DialogKeys() const { return design_.dialogKeys; }

  // The form of a window handle made by this layer; nullptr for any other window.
  static Window* FromHandle(HWND hwnd);
  // The form a window belongs to: itself, or the nearest form among its parents.
  static Window* FormOf(HWND hwnd);

  // Sends the close request a user's close box would send (UnloadMode vbFormControlMenu).
  void Close() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }

 protected:
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Deactivate() {}
  virtual void Form_Resize() {}
  virtual void Form_QueryUnload(bool& /*cancel*/, int /*unloadMode*/) {}
  virtual void Form_Unload(bool& /*cancel*/) {}
  // With KeyPreview on: every key pressed in the form; setting keyCode to 0 swallows it.
  virtual void Form_KeyDown(int& /*keyCode*/, int /*shift*/) {}
  // The default routes commands, notifications, colours, owner drawing and timers.
  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);

 private:
  friend class Control;
  friend class Button;
  friend class Timer;
  friend bool PreTranslate(MSG& msg);
  void Attach(Control* control);
  void Detach(Control* control);
  void Attach(Timer* timer);
  void Detach(Timer* timer);
  Control* ControlFromHandle(HWND child) const;
  bool MayUnload(int mode);
  bool PressButton(Control* button);
  bool PreviewKey(MSG& msg);
  bool TranslateShortcut(MSG& msg);
  bool TranslateDialogKey(MSG& msg);
  void RememberFocus();
  bool RestoreFocus();
  void EndModal();
  void Destroy();
  void PaintBackground(HDC dc);
  void KeepOnWorkArea(WINDOWPOS& pos) const;
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  FormDesign design_;
  HWND hwnd_ = nullptr;
  bool loading_ = false;
  COLORREF backColour_;
  OwnedBrush backBrush_;
  std::vector<COLORREF> bands_;
  std::vector<Control*> controls_;
  std::map<UINT_PTR, Timer*> timers_;
  Menu* menu_ = nullptr;
  Control* defaultButton_ = nullptr;
  Control* cancelButton_ = nullptr;
  HWND focus_ = nullptr;  // the control that had the focus when the form went inactive
  bool modal_ = false;
  HWND modalOwner_ = nullptr;  // disabled by this form while it is shown modal
};

// The step every message loop runs before dispatching a message: the key preview of
// the form the message is for, its menu shortcuts and its dialog keys. True when the
// message was used up and must not be dispatched.
bool PreTranslate(MSG& msg);
// PreTranslate, then TranslateMessage and DispatchMessage unless it was used up.
void DispatchOne(MSG& msg);

// Paints an area as horizontal bands of the colours, top to bottom.
void PaintBands(HDC dc, const RECT& area, const std::vector<COLORREF>& bands);

// Pumps the messages waiting for this thread, so clicks reach a running loop.
void DoEvents();

// Waits up to `ms` for `handle` (null: waits the time out) while this thread's
// messages are served, so a pause between the steps of a command or a wait for
// another process never freezes the program. Ends early when stop() says so or the
// program is told to quit. True when the handle was signalled.
bool WaitServingEvents(HANDLE handle, DWORD ms, const std::function<bool()>& stop = {});
inline void PauseServingEvents(DWORD ms, const std::function<bool()>& stop = {}) {
  WaitServingEvents(nullptr, ms, stop);
}

// Registers one of the layer's own window classes (double clicks, the arrow cursor)
// the first time it is asked for; false when the system refuses it.
bool RegisterOwnClass(const char* name, WNDPROC proc);
// A window's client size in pixels, or `whenNone` while it has no window.
SIZE ClientSize(HWND hwnd, SIZE whenNone);

// The VB shift mask of the modifier keys down now: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftState();

}  // namespace ui
