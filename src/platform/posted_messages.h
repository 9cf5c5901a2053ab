// The saver window's posted messages and the quit request, for the window
// systems whose message loop is our own (X11, Wayland). Filled from any thread,
// emptied by the window thread's loop one message at a time, in order; a quit is
// taken only once no message waits, as the system's own queue does on Windows.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/platform_types.h"

class PostedMessages {
  public:
    struct Message {
        WindowHandle window;
        uint32_t message;
        WParam wParam;
        LParam lParam;
    };
    enum class Next { kNothing, kMessage, kQuit };

    void Post(const Message& message);
    void PostQuit(int code);
    // The next message into *message (kMessage); else, when a quit was asked, takes
    // it and puts its code in *quitCode (kQuit); else kNothing.
    Next Take(Message* message, int* quitCode);
    // Drops the first waiting message to window numbered first to last; false when none.
    bool Remove(WindowHandle window, uint32_t first, uint32_t last);
    // For a loop that ends without a quit: the last quit code, the request cleared.
    int TakeQuitCode();

  private:
    std::mutex mutex_;
    std::deque<Message> messages_; // guarded by mutex_, as are the two below
    bool quitPosted_ = false;
    int quitCode_ = 0;
};
