#pragma once

// The pauses of the device and reading paths go through this seam so that tests neither wait nor race.
class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void SleepMs(int durationMs) = 0;
};

// speedup > 1 shortens every pause that many times: for a virtual device, whose clock is not the wall's.
class SystemSleeper final : public Sleeper {
public:
    explicit SystemSleeper(int speedup = 1) : m_speedup(speedup) {}
    void SleepMs(int durationMs) override;

private:
    const int m_speedup;
};
