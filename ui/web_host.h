// The window class of the dialogs' web page controls ("LumetraWebHost").
// Dialog templates name it for their browser areas; the page object that
// owns such a control decides what it shows.
#pragma once

namespace ui {

// Registers the class; call once before the first dialog is made.
bool RegisterWebHostClass();

}  // namespace ui
