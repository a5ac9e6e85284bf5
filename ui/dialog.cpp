#include "ui/dialog.h"

#include <vector>

#include "ui/text.h"

namespace ui {

std::u16string WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  int copied = GetWindowTextW(window, buffer.data(), length + 1);
  return U(std::wstring_view(buffer.data(), copied > 0 ? copied : 0));
}

Dialog::~Dialog() {
  // A modeless window must not outlive the object whose procedure it calls.
  if (window_ && !modal_) {
    SetWindowLongPtrW(window_, DWLP_USER, 0);
    DestroyWindow(window_);
  }
}

INT_PTR Dialog::RunModal(HWND owner) {
  modal_ = true;
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, &Procedure,
                         reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create(HWND owner) {
  modal_ = false;
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, &Procedure,
                            reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::End(INT_PTR result) {
  if (!window_) return;
  if (modal_)
    EndDialog(window_, result);
  else
    DestroyWindow(window_);
}

std::u16string Dialog::ItemText(int id) const { return WindowText(Item(id)); }
void Dialog::SetItemText(int id, const std::u16string& text) { SetDlgItemTextW(window_, id, W(text)); }
bool Dialog::IsChecked(int id) const { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }
void Dialog::SetChecked(int id, bool checked) { CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED); }
void Dialog::EnableItem(int id, bool enabled) { EnableWindow(Item(id), enabled); }
void Dialog::ShowItem(int id, bool shown) { ShowWindow(Item(id), shown ? SW_SHOW : SW_HIDE); }
void Dialog::SetTitle(const std::u16string& title) { SetWindowTextW(window_, W(title)); }
void Dialog::StartTimer(UINT_PTR id, UINT milliseconds) { SetTimer(window_, id, milliseconds, nullptr); }
void Dialog::StopTimer(UINT_PTR id) { KillTimer(window_, id); }

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    self->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  }
  if (!self) return FALSE;

  INT_PTR handled = FALSE;
  try {
    handled = self->Dispatch(message, wParam, lParam);
  } catch (...) {
    handled = FALSE;  // a handler's failure stays inside the program
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    self->window_ = nullptr;
    try {
      self->OnDestroyed();
    } catch (...) {
    }
  }
  return handled;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInit() ? TRUE : FALSE;
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if (OnCommand(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return TRUE;
      if (id == IDOK) {
        OnOk();
        return TRUE;
      }
      if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
      }
      return FALSE;
    }
    case WM_TIMER:
      OnTimer(wParam);
      return TRUE;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (!OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return FALSE;
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
      return TRUE;
    }
    default: {
      LRESULT result = 0;
      if (!OnMessage(message, wParam, lParam, result)) return FALSE;
      // Messages whose answer is the procedure's own return value.
      switch (message) {
        case WM_CTLCOLORDLG: case WM_CTLCOLORSTATIC: case WM_CTLCOLOREDIT: case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX: case WM_CTLCOLORSCROLLBAR: case WM_QUERYDRAGICON:
          return static_cast<INT_PTR>(result);
        default:
          SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
          return TRUE;
      }
    }
  }
}

int ComboBox::Add(const std::u16string& text) {
  return static_cast<int>(SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text))));
}
int ComboBox::Selected() const { return static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0)); }
void ComboBox::Select(int index) { SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
}  // namespace ui
