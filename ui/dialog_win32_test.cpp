// The dialog framework on a real message loop: templates, controls by id,
// timers, a worker posting back to the UI thread, message boxes answered by
// the test, and handler failures kept inside the procedure.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/ui_thread.h"

namespace {

constexpr int kTemplate = 100, kEdit = 200, kCheck = 201, kGo = 202;

class ScriptedDialog : public ui::Dialog {
 public:
  ScriptedDialog() : ui::Dialog(kTemplate) {}
  std::vector<std::string> events;
  std::thread::id workerThread;

 protected:
  bool OnInit() override {
    SetItemText(kEdit, u"初始");
    SetChecked(kCheck, true);
    StartTimer(7, 10);
    return true;
  }
  void OnTimer(UINT_PTR id) override {
    StopTimer(id);
    events.push_back("timer");
    SendMessageW(Item(kGo), BM_CLICK, 0, 0);
  }
  bool OnCommand(int id, int, HWND) override {
    if (id != kGo) return false;
    events.push_back("go:" + std::to_string(ItemText(kEdit) == u"初始") + std::to_string(IsChecked(kCheck)));
    HWND window = Window();
    ui::StartWorker([this, window] {
      workerThread = std::this_thread::get_id();
      ui::PostToWindow(window, [this] {
        events.push_back("posted");
        throw std::runtime_error("a failing step stays inside");
      });
      ui::PostToWindow(window, [this] {
        events.push_back(ui::AskYesNo(Window(), u"继续?", u"提问") ? "yes" : "no");
        ui::Inform(Window(), u"完成");
        End(42);
      });
    });
    return true;
  }
};

TEST(DialogFramework, RunsAModalDialogThroughTimerWorkerAndMessageBoxes) {
  ASSERT_TRUE(ui::AttachUiThread());
  std::vector<ui::MessageBoxRequest> boxes;
  ui::SetMessageBoxHandler([&](const ui::MessageBoxRequest& request) {
    boxes.push_back(request);
    return (request.style & MB_YESNO) ? IDYES : IDOK;
  });

  ScriptedDialog dialog;
  EXPECT_EQ(dialog.RunModal(nullptr), 42);
  ui::SetMessageBoxHandler(nullptr);

  EXPECT_EQ(dialog.events, (std::vector<std::string>{"timer", "go:11", "posted", "yes"}));
  EXPECT_NE(dialog.workerThread, std::this_thread::get_id());
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, u"继续?");
  EXPECT_EQ(boxes[0].caption, u"提问");
  EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_YESNO | MB_ICONWARNING));
  EXPECT_EQ(boxes[1].text, u"完成");
  EXPECT_EQ(boxes[1].caption, u"提示");
  EXPECT_EQ(boxes[1].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(dialog.Window(), nullptr);
}

TEST(DialogFramework, WorkPostedForAClosedWindowIsDropped) {
  ASSERT_TRUE(ui::AttachUiThread());
  HWND gone = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  bool ran = false;
  ui::PostToWindow(gone, [&ran] { ran = true; });
  bool marker = false;
  ui::PostToUi([&marker] {
    marker = true;
    PostQuitMessage(0);
  });
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  EXPECT_TRUE(marker);
  EXPECT_FALSE(ran);
}

}  // namespace
