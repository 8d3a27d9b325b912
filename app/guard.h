// A re-entrancy guard held closed for the life of a scope: the writer
// closes it, does its work, and it opens again on every way out, also when
// an exception passes.
#pragma once

namespace tintorel {

class GuardClosed {
public:
    explicit GuardClosed(bool& open) : open_(open) { open_ = false; }
    ~GuardClosed() { open_ = true; }
    GuardClosed(const GuardClosed&) = delete;
    GuardClosed& operator=(const GuardClosed&) = delete;

private:
    bool& open_;
};

} // namespace tintorel
