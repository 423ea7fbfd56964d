#include "protocol/ReadingPipeline.h"

#include "protocol/TelemetryScale.h"

#include <algorithm>
#include <cstdio>
#include <string>

const char* const ReadingPipeline::kOverTemperatureWarning =
    "电源过温告警,\r\n电源达到70度时将过温保护关机，请保存数据并关闭一些不必要的程序降低功耗,"
    "\r\n切入到温控模式并调"
    "整风机到最高转速散热！";
const char* const ReadingPipeline::kInputVoltageWarning =
    "输入欠/过压警告,\r\n输入电压小于85V或大于270V时，电源将保护关机，请提前保存用户数据！";
const char* const ReadingPipeline::kInputPowerWarning =
    "电源输入功率告警,\r\n请关闭一些不必要的程序以降低功耗,并注意保存数据,当电源达到115%载时可能保护关机！";

namespace {

bool Inside(double value, double low, double high) {
    return value >= low && value <= high;
}

// The -12V reading is held inside 12.00..12.09 whatever the counter says.
float ClampMinus12V(float value) {
    if (value < 12.0f) {
        value = 12.0f;
    }
    if (value > 12.09) {
        value = 12.09f;
    }
    return value;
}

} // namespace

void ReadingPipeline::ApplyRailBand(float value, double low, double high,
                                    std::atomic<std::int32_t>& flag) const {
    if (Inside(value, low, high)) {
        flag = 0;
    } else if (Connected()) {
        flag = 1;
    }
}

void ReadingPipeline::ApplyAlarmRule(bool normal, bool raise, std::atomic<std::int32_t>& alarm,
                                     std::atomic<std::int32_t>& shown) const {
    if (normal) {
        alarm = 0;
        shown = 0;
    } else if (raise && Connected()) {
        alarm = 1;
    }
}

bool ReadingPipeline::Publish(int controlId, const std::string& text,
                              const std::atomic<bool>& stopRequested) {
    m_display.SetLabelText(controlId, text);
    if (stopRequested) {
        return false;
    }
    m_display.RefreshLabelArea(controlId);
    return !stopRequested;
}

bool ReadingPipeline::Show(int controlId, const char* format, double value,
                           const std::atomic<bool>& stopRequested) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return Publish(controlId, text, stopRequested);
}

bool ReadingPipeline::RaiseWarning(std::atomic<std::int32_t>& alarm, std::atomic<std::int32_t>& shown,
                                   const char* text, const std::atomic<bool>& stopRequested) {
    if (alarm != 1 || shown != 0) {
        return true;
    }
    // The latch is set even when no box can be shown, so that excursion's box is skipped rather than
    // postponed.
    shown = 1;
    if (Connected()) {
        m_display.ShowWarning(text);
    }
    return !stopRequested;
}

bool ReadingPipeline::RunPass(const Report& report, const std::atomic<bool>& stopRequested) {
    m_processor.m_dataLength = CCDataProcessing::kBlockSize;
    std::copy_n(report.begin() + 1, CCDataProcessing::kBlockSize, m_processor.m_data.begin());

    if (!Publish(LabelFanSpeed, std::to_string(m_processor.GetFanSpeed()), stopRequested)) {
        return false;
    }

    const float minus12V =
        ClampMinus12V(static_cast<float>(m_processor.GetRailMinus12V(TelemetryScale::CountsPerVoltMinus12V)));
    ApplyRailBand(minus12V, 10.8, 13.2, m_flags.RailMinus12VOutOfBand);
    if (!Show(LabelRailMinus12V, "%.2f", minus12V, stopRequested)) {
        return false;
    }

    struct Rail {
        int label;
        double (CCDataProcessing::*getter)(double) const;
        double countsPerVolt, low, high;
        std::atomic<std::int32_t>& flag;
    };
    const Rail rails[] = {
        {LabelRail12V, &CCDataProcessing::GetRail12V, TelemetryScale::CountsPerVolt12V, 10.8, 13.2,
         m_flags.Rail12VOutOfBand},
        {LabelRail3V3, &CCDataProcessing::GetRail3V3, TelemetryScale::CountsPerVolt3V3, 2.97, 3.63,
         m_flags.Rail3V3OutOfBand},
        {LabelRail5Vsb, &CCDataProcessing::GetRail5Vsb, TelemetryScale::CountsPerVolt5Vsb, 4.5, 5.5,
         m_flags.Rail5VsbOutOfBand},
        {LabelRail5V, &CCDataProcessing::GetRail5V, TelemetryScale::CountsPerVolt5V, 4.5, 5.5,
         m_flags.Rail5VOutOfBand},
    };
    for (const Rail& rail : rails) {
        const float value = static_cast<float>((m_processor.*rail.getter)(rail.countsPerVolt));
        ApplyRailBand(value, rail.low, rail.high, rail.flag);
        if (!Show(rail.label, "%.2f", value, stopRequested)) {
            return false;
        }
    }

    if (!Show(LabelInputCurrent, "%.2f", m_processor.GetInputCurrent(TelemetryScale::CountsPerAmp),
              stopRequested)) {
        return false;
    }

    // An empty reply reads 0 V: 65 V or less neither raises nor ends a voltage alarm.
    const float voltage = static_cast<float>(m_processor.GetInputVoltage());
    ApplyAlarmRule(Inside(voltage, 100, 250), voltage > 65, m_flags.InputVoltageAlarm,
                   m_flags.InputVoltageAlarmShown);
    if (!Show(LabelInputVoltage, "%.0f", voltage, stopRequested)) {
        return false;
    }

    const float power = static_cast<float>(m_processor.GetInputPower());
    ApplyAlarmRule(power <= 650, true, m_flags.InputPowerAlarm, m_flags.InputPowerAlarmShown);
    if (!Show(LabelInputPower, "%.0f", power, stopRequested)) {
        return false;
    }

    const float temperature = static_cast<float>(m_processor.GetTemperature());
    ApplyAlarmRule(temperature <= 60, true, m_flags.OverTemperatureAlarm, m_flags.OverTemperatureAlarmShown);
    if (!Show(LabelTemperature, "%.0f", temperature, stopRequested)) {
        return false;
    }

    if (!Show(LabelEnergy, "%.2f", m_processor.GetEnergy(TelemetryScale::CountsPerKwh), stopRequested)) {
        return false;
    }
    m_display.EndReadings();
    if (stopRequested) {
        return false;
    }

    return RaiseWarning(m_flags.OverTemperatureAlarm, m_flags.OverTemperatureAlarmShown,
                        kOverTemperatureWarning, stopRequested) &&
           RaiseWarning(m_flags.InputVoltageAlarm, m_flags.InputVoltageAlarmShown, kInputVoltageWarning,
                        stopRequested) &&
           RaiseWarning(m_flags.InputPowerAlarm, m_flags.InputPowerAlarmShown, kInputPowerWarning,
                        stopRequested);
}
