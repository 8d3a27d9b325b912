// A time limit on a wait for the desktop (an answer, a first picture): it
// runs out after its time unless it is stopped first. Tests hold the
// clock: while a HeldTimeLimits lives, no limit runs out by itself, and the
// test runs out the ones it names, so that no test depends on how fast the
// machine is.
#pragma once

#include <QTimer>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tintorel {

class TimeLimit {
public:
    // `name` says what is waited for ("Start", "first picture").
    TimeLimit(std::string name, std::function<void()> expired);
    ~TimeLimit();
    TimeLimit(const TimeLimit&) = delete;
    TimeLimit& operator=(const TimeLimit&) = delete;

    // (Re)starts the limit; `expired` follows once `limit` has passed
    // without a Stop.
    void Start(std::chrono::milliseconds limit);
    void Stop();
    bool Running() const { return running_; }
    const std::string& Name() const { return name_; }

private:
    friend class HeldTimeLimits;
    void RunOut();

    std::string name_;
    std::function<void()> expired_;
    QTimer timer_;
    bool running_ = false;
};

// The test's clock. One at a time; limits started while it lives wait for
// RunOut, those already running keep their timers.
class HeldTimeLimits {
public:
    HeldTimeLimits();
    ~HeldTimeLimits();
    HeldTimeLimits(const HeldTimeLimits&) = delete;
    HeldTimeLimits& operator=(const HeldTimeLimits&) = delete;

    // The names of the limits running now, in the order they started.
    std::vector<std::string> Running() const;
    // Runs out every running limit called `name`; returns how many.
    int RunOut(const std::string& name);
    // How often a limit called `name` was started (or started again)
    // while this clock lived.
    int Starts(const std::string& name) const;
};

} // namespace tintorel
