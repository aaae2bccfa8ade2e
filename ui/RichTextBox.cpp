#include "RichTextBox.h"

#include <richedit.h>

#include <algorithm>
#include <vector>

namespace ui {
namespace {

// The first rich edit version lives in its own library; loaded once, kept for good.
bool LoadRichEdit() {
  static HMODULE library = LoadLibraryA("riched32.dll");
  return library != nullptr;
}

// A right margin in twips needs a device to measure against; the control keeps the
// handle, so it lives as long as the program.
HDC ScreenInformation() {
  static HDC dc = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
  return dc;
}

std::string Upper(std::string text) {
  if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

}  // namespace

RichTextBox::RichTextBox(Window& owner, Bounds bounds, std::string text, DWORD extraStyle)
    : Control(owner, "RICHEDIT",
              WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_NOHIDESEL | extraStyle,
              bounds, std::move(text), WS_EX_CLIENTEDGE) {}

void RichTextBox::Create() {
  if (hwnd_ || !LoadRichEdit()) return;
  Control::Create();
  if (!hwnd_) return;
  // Without a raised limit the control takes no more than 32K characters.
  SendMessageA(hwnd_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  SendMessageA(hwnd_, EM_SETEVENTMASK, 0, ENM_CHANGE);
  ApplyRightMargin();
  Select(selStart_, selLength_);
}

void RichTextBox::OnCommand(WORD code) {
  if (code == EN_CHANGE && Change) Change();
}

void RichTextBox::ReplaceAll(const std::string& text) {
  constexpr int kLongText = 64 * 1024;
  if (hwnd_ && TextLength() > kLongText) {
    const bool focused = GetFocus() == hwnd_;
    HWND old = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(old);
    // Made empty: the limit is raised only once the window exists.
    text_.clear();
    selStart_ = selLength_ = 0;
    Create();
    if (focused && hwnd_) ::SetFocus(hwnd_);
  }
  SetText(text);
}

int RichTextBox::TextLength() const {
  return hwnd_ ? GetWindowTextLengthA(hwnd_) : static_cast<int>(text_.size());
}

void RichTextBox::SetReadOnly(bool on) {
  style_ = on ? (style_ | ES_READONLY) : (style_ & ~ES_READONLY);
  if (hwnd_) SendMessageA(hwnd_, EM_SETREADONLY, on, 0);
}

int RichTextBox::SelStart() const {
  if (!hwnd_) return selStart_;
  CHARRANGE range = {};
  SendMessageA(hwnd_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMin;
}

int RichTextBox::SelLength() const {
  if (!hwnd_) return selLength_;
  CHARRANGE range = {};
  SendMessageA(hwnd_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMax - range.cpMin;
}

std::string RichTextBox::SelText() const {
  if (!hwnd_) {
    size_t start = std::min(static_cast<size_t>(selStart_), text_.size());
    return text_.substr(start, selLength_);
  }
  const int length = SelLength();
  if (length <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(length) * 2 + 1);
  LRESULT n = SendMessageA(hwnd_, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()));
  return std::string(buffer.data(), static_cast<size_t>(std::max<LRESULT>(n, 0)));
}

void RichTextBox::SetSelStart(int start) { Select(start, 0); }

void RichTextBox::SetSelLength(int length) { Select(SelStart(), length); }

void RichTextBox::SetSelText(const std::string& text) {
  if (!hwnd_) {
    size_t start = std::min(static_cast<size_t>(selStart_), text_.size());
    text_.replace(start, selLength_, text);
    selStart_ = static_cast<int>(start + text.size());
    selLength_ = 0;
    return;
  }
  SendMessageA(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void RichTextBox::Select(int start, int length) {
  const int total = TextLength();
  start = std::clamp(start, 0, total);
  length = std::clamp(length, 0, total - start);
  selStart_ = start;
  selLength_ = length;
  if (!hwnd_) return;
  CHARRANGE range = {start, start + length};
  SendMessageA(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  SendMessageA(hwnd_, EM_SCROLLCARET, 0, 0);
}

int RichTextBox::Find(const std::string& text, int start, bool matchCase, bool down) const {
  if (text.empty()) return -1;
  // The search runs on the text as Text() reads it, whose positions are the
  // control's own; the first rich edit version cannot search upwards itself.
  std::string content = Text(), wanted = text;
  if (!matchCase) {
    content = Upper(std::move(content));
    wanted = Upper(std::move(wanted));
  }
  size_t at;
  if (down) {
    at = content.find(wanted, static_cast<size_t>(std::max(start, 0)));
  } else {
    if (start <= 0) return -1;
    at = content.rfind(wanted, static_cast<size_t>(start - 1));
  }
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

void RichTextBox::SetRightMargin(int twips) {
  rightMargin_ = std::max(twips, 0);
  ApplyRightMargin();
}

void RichTextBox::ApplyRightMargin() {
  if (!hwnd_) return;
  if (rightMargin_ > 0)
    SendMessageA(hwnd_, EM_SETTARGETDEVICE, reinterpret_cast<WPARAM>(ScreenInformation()), rightMargin_);
  else
    SendMessageA(hwnd_, EM_SETTARGETDEVICE, 0, 0);
}

}  // namespace ui
