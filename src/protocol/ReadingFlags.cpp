#include "protocol/ReadingFlags.h"

#include "protocol/ReadingDisplay.h"

void ReadingFlags::Clear() {
    for (auto* flag : {&RailMinus12VOutOfBand, &Rail12VOutOfBand, &Rail3V3OutOfBand, &Rail5VsbOutOfBand,
                       &Rail5VOutOfBand, &InputVoltageAlarm, &InputVoltageAlarmShown, &OverTemperatureAlarm,
                       &OverTemperatureAlarmShown, &InputPowerAlarm, &InputPowerAlarmShown}) {
        flag->store(0);
    }
}

const std::atomic<std::int32_t>* ReadingFlags::FlagOfLabel(int controlId) const {
    switch (controlId) {
    case LabelInputVoltage:
        return &InputVoltageAlarm;
    case LabelInputPower:
        return &InputPowerAlarm;
    case LabelRail12V:
        return &Rail12VOutOfBand;
    case LabelRailMinus12V:
        return &RailMinus12VOutOfBand;
    case LabelRail5Vsb:
        return &Rail5VsbOutOfBand;
    case LabelRail5V:
        return &Rail5VOutOfBand;
    case LabelRail3V3:
        return &Rail3V3OutOfBand;
    case LabelTemperature:
        return &OverTemperatureAlarm;
    default:
        return nullptr;
    }
}
