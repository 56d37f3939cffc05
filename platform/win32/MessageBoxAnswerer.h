#pragma once
// Answers the message boxes of this thread as a user who reads each one and presses its default
// button (OK for the boxes that have only OK).
//
// A thread timer does it: the box's own modal loop dispatches the timer, finds every visible
// dialog of this thread that it has not answered yet, tells its caption and text, and clicks the
// default button. One answerer a thread; it answers for as long as it lives.

#include <cstdint>
#include <functional>
#include <set>
#include <string>

namespace platform::win32 {

class MessageBoxAnswerer {
public:
    using Heard = std::function<void(const std::string& caption, const std::string& text)>;
    explicit MessageBoxAnswerer(Heard heard = {}, unsigned intervalMs = 50);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    int answered() const { return answered_; }
    // What the timer does; callable directly by a caller that pumps its own loop.
    void answerOpenBoxesNow();

private:
    Heard heard_;
    std::uintptr_t timer_ = 0;
    std::set<void*> pressed_;  // boxes clicked already, until they are gone
    int answered_ = 0;
};

} // namespace platform::win32
