// The options dialog's Internet Monitor tab: what a connection costs, and whether it
// is a modem's dial-up or a leased line.
#pragma once
#include <cstdint>
#include <string>

#include "Container.h"
#include "Controls.h"
#include "Window.h"

class OptionsInternetTab {
 public:
  OptionsInternetTab(ui::Window& form, ui::Container& page);

  ui::Label CostLbl0, CostLbl1, CostLbl2;
  ui::TextBox EveryXSecondsTxt;
  ui::Label CurrncSymbLbl0;
  ui::TextBox CostOfXSecondTxt;
  ui::Label CurrncSymbLbl1;
  ui::TextBox ExtraCostTxt;
  ui::OptionButton LANConOpt0, LANConOpt1;

  ui::OptionButton& LANConOpt(int index) { return index == 0 ? LANConOpt0 : LANConOpt1; }
  ui::Label& CurrncSymbLbl(int index) { return index == 0 ? CurrncSymbLbl0 : CurrncSymbLbl1; }

  // The value of a cost field: its leading number, "." or "," as the separator.
  static double CostValue(const std::string& text);
  // True when the cost field's number fits an integer once rounded.
  static bool IsValue(const std::string& text);

  // The user's currency beside the costs; the leased line's caption.
  void Prepare();
  void Load();
  // The connection type and the costs (the caller handles what a change of type takes).
  void Store();
  // True when the connection type the tab shows is not the stored one.
  bool ConnectionChanges() const;
};
