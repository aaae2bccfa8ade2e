#include "frmAbout.h"

frmAboutForm frmAbout;

frmAboutForm::frmAboutForm() : Window({.caption = "About Quillon", .width = 360, .height = 240, .centred = true}) {}

