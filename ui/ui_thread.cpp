#include "ui/ui_thread.h"

#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace ui {
namespace {

constexpr UINT kRunPosted = WM_APP + 1;

std::mutex queueMutex;
std::deque<std::function<void()>> queue;
HWND sink = nullptr;  // message-only window of the UI thread

void RunPosted() {
  for (;;) {
    std::function<void()> work;
    {
      std::lock_guard lock(queueMutex);
      if (queue.empty()) return;
      work = std::move(queue.front());
      queue.pop_front();
    }
    try {
      work();
    } catch (...) {
      // A failing step must not take the message loop down with it.
    }
  }
}

LRESULT CALLBACK SinkProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunPosted) {
    RunPosted();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool AttachUiThread() {
  if (sink) return true;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &SinkProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"LumetraUiQueue";
  RegisterClassW(&windowClass);
  sink = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         windowClass.hInstance, nullptr);
  return sink != nullptr;
}

void PostToUi(std::function<void()> work) {
  std::lock_guard lock(queueMutex);
  if (!sink) return;
  queue.push_back(std::move(work));
  PostMessageW(sink, kRunPosted, 0, 0);
}

void PostToWindow(HWND window, std::function<void()> work) {
  PostToUi([window, work = std::move(work)] {
    if (IsWindow(window)) work();
  });
}

void StartWorker(std::function<void()> job) {
  std::thread([job = std::move(job)] {
    try {
      job();
    } catch (...) {
    }
  }).detach();
}

}  // namespace ui
