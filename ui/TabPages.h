// A tab strip with a page per tab: a form places each tab's controls on its page
// (`control.SetContainer(tabs.Page(i))`), and only the selected tab's page shows.
// The control is a container holding the strip and, above it, the pages, so moving,
// hiding or disabling it takes the pages along.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Container.h"

namespace ui {

class TabPage;

class TabPages : public Container {
 public:
  TabPages(Window& owner, Bounds bounds, std::vector<std::string> captions);
  ~TabPages() override;

  int Tabs() const { return static_cast<int>(tabs_.size()); }
  // The selected tab, kept while the form has no window.
  int Tab() const { return tab_; }
  // Selects a tab as a click on it would: its page shows and Click runs. An index out
  // of range, the selected tab or a disabled tab changes nothing.
  void SetTab(int index);
  std::string TabCaption(int index) const;
  void SetTabCaption(int index, const std::string& caption);
  // A disabled tab is greyed and cannot be selected.
  bool TabEnabled(int index) const;
  void SetTabEnabled(int index, bool enabled);
  Container& Page(int index);  // std::out_of_range for a tab that does not exist
  HWND strip() const { return strip_; }

  // After the selected tab changed, by the user or by code.
  std::function<void(int previousTab)> Click;

 protected:
  void Create() override;
  void Destroyed() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  friend class TabPage;
  struct TabItem {
    std::string caption;
    bool enabled = true;
  };
  bool ValidTab(int index) const { return index >= 0 && index < Tabs(); }
  void Select(int index);
  void ShowSelectedPage();
  void Layout();
  LRESULT OnStripNotify(const NMHDR& header);
  void DrawTab(const DRAWITEMSTRUCT& item);
  static LRESULT CALLBACK StripProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  std::vector<TabItem> tabs_;
  std::vector<std::unique_ptr<TabPage>> pages_;
  int tab_ = 0;
  HWND strip_ = nullptr;
  WNDPROC stripProc_ = nullptr;
};

}  // namespace ui
