#include "cli/CliBackend.h"

SimulatedBackend::SimulatedBackend(std::uint32_t seed) : m_supply(seed) {
    m_platform.AddSupply();
}

void SimulatedBackend::IntervalElapsed(int intervalMs) {
    m_platform.WithSupply([intervalMs](VirtualPowerSupply& supply) { supply.Advance(intervalMs); });
}

std::unique_ptr<CliBackend> MakeCliBackend(const CliOptions& options) {
    if (options.simulate) {
        return std::make_unique<SimulatedBackend>(options.seed);
    }
    return MakeDeviceBackend();
}
