#include "host/saver_window_proc.h"

#include "config/persistence.h"
#include "core/settings.h"
#include "host/saver_window.h"
#include "platform/thread.h"
#include "platform/win_messages.h"
#include "render/capture.h"
#include "render/render_thread.h"

MessageResult SaverWindowProc(WindowHandle window, uint32_t message, WParam wParam, LParam lParam)
{
    if (message == kWmCreate) {
        LoadSettings();
        // The window exists but is not shown yet, so this is the desktop without the saver.
        CaptureDesktop();
        renderRunning.store(1, std::memory_order_relaxed);
        renderThreadHandle = StartPlatformThread(RenderThread, reinterpret_cast<void*>(window));
        int level = 0;
        if (renderThreadHandle && PriorityLevelFor(Settings.Priority, &level))
            SetPlatformThreadPriority(renderThreadHandle, level);
    } else if (message == kWmDestroy) {
        // Only values missing from the store are written, so a dialog's "OK"
        // given while the saver ran is never overwritten.
        SaveMissingSettings();
        renderRunning.store(0, std::memory_order_relaxed);
        // The render thread finishes its frame and releases its surface before
        // the window goes, so no GL or window-system call ever touches a
        // destroyed window.
        JoinPlatformThread(renderThreadHandle);
        renderThreadHandle = nullptr;
        // Frees the picture when the thread never started to take it.
        ReleaseDesktopPixels();
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
