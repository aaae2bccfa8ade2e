#include "OptionsInternetTab.h"

#include "ModProgInfo.h"
#include "ModSettings.h"
#include "OptionsFields.h"

using namespace optionfields;

namespace {

const char kLeasedLineCaption[] =
    "I use leased line to connect to the Internet (DSL, LAN, ... etc) or I want the Internet monitor and the "
    "pop-up blocker to be always active.";

}  // namespace

OptionsInternetTab::OptionsInternetTab(ui::Window& form, ui::Container& page)
    : CostLbl0(form, {12, 38, 70, 18}, "The cost of "),
      CostLbl1(form, {146, 38, 70, 18}, "seconds is"),
      CostLbl2(form, {122, 66, 380, 18}, "charged at the start of a connection (e.g: Call cost)"),
      EveryXSecondsTxt(form, {84, 36, 60, 20}),
      CurrncSymbLbl0(form, {218, 38, 30, 18}),
      CostOfXSecondTxt(form, {250, 36, 80, 20}),
      CurrncSymbLbl1(form, {12, 66, 30, 18}),
      ExtraCostTxt(form, {40, 64, 80, 20}),
      LANConOpt0(form, {12, 100, 596, 36},
                 "I use a modem to connect to the Internet using Microsoft Dial-Up Networking", true),
      LANConOpt1(form, {12, 140, 596, 36}, "") {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&CostLbl0, &EveryXSecondsTxt, &CostLbl1, &CurrncSymbLbl0,
                                                             &CostOfXSecondTxt, &CurrncSymbLbl1, &ExtraCostTxt,
                                                             &CostLbl2, &LANConOpt0, &LANConOpt1})
    c->SetContainer(page);
}

double OptionsInternetTab::CostValue(const std::string& text) {
  // Either separator is taken (the user's or the one other locales use); grouping is
  // never read, so the number ends at a second separator.
  std::string s = text;
  for (char& c : s)
    if (c == ',') c = '.';
  return vb::Val(s);
}

bool OptionsInternetTab::IsValue(const std::string& text) {
  const double v = vb::RoundHalfEven(CostValue(text));
  return v >= -2147483648.0 && v <= 2147483647.0;
}

void OptionsInternetTab::Prepare() {
  const std::string currency = GetLocaleInfoText(LOCALE_SCURRENCY);
  CurrncSymbLbl0.SetText(currency);
  CurrncSymbLbl1.SetText(currency);
  LANConOpt1.SetText(kLeasedLineCaption);
  EveryXSecondsTxt.SetNumberStyle(true);
}

void OptionsInternetTab::Load() {
  SelectOption([this](int i) -> ui::OptionButton& { return LANConOpt(i); }, 2, LANCon, 0);
  EveryXSecondsTxt.SetText(IntText(CostDefinition.EveryXSeconds));
  CostOfXSecondTxt.SetText(SingleText(CostDefinition.CostOfXSecond));
  ExtraCostTxt.SetText(SingleText(CostDefinition.ExtraCost));
}

bool OptionsInternetTab::ConnectionChanges() const {
  return !(LANCon >= 0 && LANCon <= 1 && (LANCon == 0 ? LANConOpt0 : LANConOpt1).Value());
}

void OptionsInternetTab::Store() {
  LANCon = LANConOpt0.Value() ? 0 : 1;
  CostDefinition.EveryXSeconds = FieldInt<int32_t>(EveryXSecondsTxt);
  CostDefinition.CostOfXSecond = static_cast<float>(CostValue(CostOfXSecondTxt.Text()));
  CostDefinition.ExtraCost = static_cast<float>(CostValue(ExtraCostTxt.Text()));
}
