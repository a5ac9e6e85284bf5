// Message boxes of the program. Every box goes through ShowMessage so that a
// test can watch and answer it in-process (SetMessageBoxHandler); boxes shown
// for real can also be found from outside (class "#32770", text in 0xFFFF).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ui {

struct MessageBoxRequest {
  HWND owner;
  std::u16string text;
  std::u16string caption;
  UINT style;  // MB_* flags
};

// Returns the button pressed (IDOK, IDYES, ...).
int ShowMessage(const MessageBoxRequest& request);

// The program's own kinds: caption is the application title, OK with the
// exclamation icon; questions are Yes/No with the warning icon.
void Inform(HWND owner, const std::u16string& text);
bool AskYesNo(HWND owner, const std::u16string& text, const std::u16string& caption);

// The application title, used as the caption of every plain message box.
const std::u16string& ApplicationTitle();

// In-process tests: the handler answers instead of a real box. Pass an empty
// function to restore real boxes.
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace ui
