#include "ViewBindings.h"

#include "Window.h"

ViewBindings Views;

HWND BoundHwnd(const ui::Window* form) { return form ? form->hwnd() : nullptr; }

bool LoadView(ui::Window* form) { return form && form->Load(); }

void HideView(ui::Window* form) {
  if (form && form->Loaded()) form->Hide();
}

bool ViewLoaded(const ui::Window* form) { return form && form->Loaded(); }
bool ViewVisible(const ui::Window* form) { return form && form->Visible(); }
