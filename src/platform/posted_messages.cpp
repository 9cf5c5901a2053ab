#include "platform/posted_messages.h"

void PostedMessages::Post(const Message& message)
{
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(message);
}

void PostedMessages::PostQuit(int code)
{
    std::lock_guard<std::mutex> lock(mutex_);
    quitPosted_ = true;
    quitCode_ = code;
}

PostedMessages::Next PostedMessages::Take(Message* message, int* quitCode)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!messages_.empty()) {
        *message = messages_.front();
        messages_.pop_front();
        return Next::kMessage;
    }
    if (!quitPosted_)
        return Next::kNothing;
    quitPosted_ = false;
    *quitCode = quitCode_;
    return Next::kQuit;
}

bool PostedMessages::Remove(WindowHandle window, uint32_t first, uint32_t last)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = messages_.begin(); it != messages_.end(); ++it) {
        if (it->window == window && it->message >= first && it->message <= last) {
            messages_.erase(it);
            return true;
        }
    }
    return false;
}

int PostedMessages::TakeQuitCode()
{
    std::lock_guard<std::mutex> lock(mutex_);
    quitPosted_ = false;
    return quitCode_;
}
