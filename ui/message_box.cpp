#include "ui/message_box.h"

#include <mutex>

#include "ui/text.h"

namespace ui {
namespace {

std::mutex handlerMutex;
MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

}  // namespace

const std::u16string& ApplicationTitle() {
  static const std::u16string title = u"提示";
  return title;
}

int ShowMessage(const MessageBoxRequest& request) {
  MessageBoxHandler handler;
  {
    std::lock_guard lock(handlerMutex);
    handler = Handler();
  }
  if (handler) return handler(request);
  return MessageBoxW(request.owner, W(request.text), W(request.caption), request.style);
}

void Inform(HWND owner, const std::u16string& text) {
  ShowMessage({owner, text, ApplicationTitle(), MB_OK | MB_ICONEXCLAMATION});
}

bool AskYesNo(HWND owner, const std::u16string& text, const std::u16string& caption) {
  return ShowMessage({owner, text, caption, MB_YESNO | MB_ICONWARNING}) == IDYES;
}

void SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(handlerMutex);
  Handler() = std::move(handler);
}

}  // namespace ui
