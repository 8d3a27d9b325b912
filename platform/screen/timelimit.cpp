#include "platform/screen/timelimit.h"

#include <algorithm>

namespace tintorel {

namespace {

bool held = false;

// The names of the limits started while the clock is held, once a start.
std::vector<std::string>& HeldStarts() {
    static std::vector<std::string> starts;
    return starts;
}

// Every limit now running, oldest first.
std::vector<TimeLimit*>& RunningLimits() {
    static std::vector<TimeLimit*> limits;
    return limits;
}

void Forget(TimeLimit* limit) {
    std::vector<TimeLimit*>& limits = RunningLimits();
    limits.erase(std::remove(limits.begin(), limits.end(), limit), limits.end());
}

} // namespace

TimeLimit::TimeLimit(std::string name, std::function<void()> expired)
    : name_(std::move(name)), expired_(std::move(expired)) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { RunOut(); });
}

TimeLimit::~TimeLimit() {
    Stop();
}

void TimeLimit::Start(std::chrono::milliseconds limit) {
    Stop();
    running_ = true;
    RunningLimits().push_back(this);
    if (held) {
        HeldStarts().push_back(name_);
    } else {
        timer_.start(limit);
    }
}

void TimeLimit::Stop() {
    timer_.stop();
    if (running_) {
        running_ = false;
        Forget(this);
    }
}

void TimeLimit::RunOut() {
    if (!running_) {
        return;
    }
    Stop();
    // The last thing done: the owner may end this limit's life.
    expired_();
}

HeldTimeLimits::HeldTimeLimits() {
    held = true;
    HeldStarts().clear();
}

HeldTimeLimits::~HeldTimeLimits() {
    held = false;
}

std::vector<std::string> HeldTimeLimits::Running() const {
    std::vector<std::string> names;
    for (const TimeLimit* limit : RunningLimits()) {
        names.push_back(limit->Name());
    }
    return names;
}

int HeldTimeLimits::Starts(const std::string& name) const {
    const std::vector<std::string>& starts = HeldStarts();
    return static_cast<int>(std::count(starts.begin(), starts.end(), name));
}

int HeldTimeLimits::RunOut(const std::string& name) {
    // Those running now, not those their owners start as they run out.
    std::vector<TimeLimit*> named;
    for (TimeLimit* limit : RunningLimits()) {
        if (limit->Name() == name) {
            named.push_back(limit);
        }
    }
    int count = 0;
    for (TimeLimit* limit : named) {
        // Running out one limit may stop or end another: each is looked up
        // again.
        const std::vector<TimeLimit*>& running = RunningLimits();
        if (std::find(running.begin(), running.end(), limit) != running.end()) {
            limit->RunOut();
            ++count;
        }
    }
    return count;
}

} // namespace tintorel
