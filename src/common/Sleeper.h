#pragma once

// The pauses of the device and reading paths go through this seam so that tests neither wait nor race.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void SleepMs(int durationMs) = 0;
};

class SystemSleeper final : public Sleeper {
public:
    void SleepMs(int durationMs) override;
};
