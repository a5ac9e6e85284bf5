// A thin dialog class over Win32: one static dialog procedure, `this` kept
// from WM_INITDIALOG on, virtual handlers, controls reached by identifier.
// Nothing thrown by a handler crosses into the system: it is caught at the
// procedure and the message counts as not handled.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Dialog {
 public:
  explicit Dialog(int templateId) : templateId_(templateId) {}
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally; returns the value given to End, or -1 when the
  // window could not be made.
  INT_PTR RunModal(HWND owner);
  // Makes a modeless dialog (a page or a frame); false when it failed.
  bool Create(HWND owner);
  // Ends a modal dialog with `result`; destroys a modeless one.
  void End(INT_PTR result);

  HWND Window() const { return window_; }

  HWND Item(int id) const { return GetDlgItem(window_, id); }
  std::u16string ItemText(int id) const;
  void SetItemText(int id, const std::u16string& text);
  bool IsChecked(int id) const;
  void SetChecked(int id, bool checked);
  void EnableItem(int id, bool enabled);
  void ShowItem(int id, bool shown);
  void SetTitle(const std::u16string& title);

  void StartTimer(UINT_PTR id, UINT milliseconds);
  void StopTimer(UINT_PTR id);

 protected:
  // WM_INITDIALOG; the result goes back to the system (true: default focus).
  virtual bool OnInit() { return true; }
  // WM_COMMAND from a control or menu; true when handled. IDOK and IDCANCEL
  // reach OnOk / OnCancel when this returns false.
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  virtual void OnOk() { End(IDOK); }
  virtual void OnCancel() { End(IDCANCEL); }
  virtual void OnTimer(UINT_PTR /*id*/) {}
  // WM_NOTIFY; true when handled, with `result` as the answer.
  virtual bool OnNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
  // Any other message; true when handled, with `result` as the answer.
  virtual bool OnMessage(UINT /*message*/, WPARAM, LPARAM, LRESULT& /*result*/) { return false; }
  // The window is gone (WM_NCDESTROY); the object may delete itself here.
  virtual void OnDestroyed() {}

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
  HWND window_ = nullptr;
  bool modal_ = false;
};

// A combo or list box reached through its window.
class ComboBox {
 public:
  explicit ComboBox(HWND window = nullptr) : window_(window) {}
  int Add(const std::u16string& text);
  int Selected() const;  // CB_ERR (-1) when nothing is selected
  void Select(int index);

 private:
  HWND window_;
};

}  // namespace ui
