#include "cli/PollRecord.h"

#include "protocol/ReadingDisplay.h"

#include <cstdio>

namespace {

struct ReadingRow {
    int label;
    const char* key;
    const char* name;
    const char* unit;
};

constexpr ReadingRow kRows[] = {
    {LabelInputVoltage, "input_voltage", "input voltage", "V"},
    {LabelInputCurrent, "input_current", "input current", "A"},
    {LabelInputPower, "input_power", "input power", "W"},
    {LabelEnergy, "energy", "energy", "kWh"},
    {LabelRail12V, "rail_12v", "+12V", "V"},
    {LabelRailMinus12V, "rail_minus_12v", "-12V", "V"},
    {LabelRail5Vsb, "rail_5vsb", "+5Vsb", "V"},
    {LabelRail5V, "rail_5v", "+5V", "V"},
    {LabelRail3V3, "rail_3v3", "+3.3V", "V"},
    {LabelTemperature, "temperature", "temperature", "°C"},
    {LabelFanSpeed, "fan_speed", "fan speed", "rpm"},
};

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\n':
            quoted += "\\n";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                quoted += escaped;
            } else {
                quoted += c; // UTF-8 passes through
            }
        }
    }
    return quoted + "\"";
}

} // namespace

PollRecord CollectPoll(int poll, const CliDisplay& display, const ReadingFlags& flags,
                       std::vector<std::string> warnings) {
    PollRecord record{poll, {}, std::move(warnings)};
    for (const ReadingRow& row : kRows) {
        const auto* flag = flags.FlagOfLabel(row.label);
        record.readings.push_back(
            {row.key, row.name, row.unit, display.Text(row.label), flag && flag->load() == 1});
    }
    return record;
}

PollRecord UnansweredPoll(int poll) {
    return {poll, {}, {}, false};
}

std::string FormatText(const PollRecord& record) {
    std::string text = "poll " + std::to_string(record.poll) + "\n";
    if (!record.reply) {
        return text + "  " + kNoReplyMessage + "\n";
    }
    for (const ShownReading& reading : record.readings) {
        char line[128];
        std::snprintf(line, sizeof line, "  %-4s  %-13s %8s %s\n", reading.warn ? "WARN" : "ok", reading.name,
                      reading.text.c_str(), reading.unit);
        text += line;
    }
    for (const std::string& warning : record.warnings) {
        // A box's lines are separated by CR LF; each goes on a line of its own.
        std::string prefix = "  warning: ";
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = warning.find("\r\n", start);
            text += prefix + warning.substr(start, end - start) + "\n";
            if (end == std::string::npos) {
                break;
            }
            start = end + 2;
            prefix = "           ";
        }
    }
    return text;
}

std::string FormatJson(const PollRecord& record) {
    std::string json = "{\"poll\":" + std::to_string(record.poll) + ",\"reply\":";
    if (!record.reply) {
        return json + "false}\n";
    }
    json += "true,\"readings\":{";
    for (std::size_t i = 0; i < record.readings.size(); ++i) {
        const ShownReading& reading = record.readings[i];
        json += (i > 0 ? "," : "") + JsonString(reading.key) + ":{\"text\":" + JsonString(reading.text) +
                ",\"unit\":" + JsonString(reading.unit) + ",\"warn\":" + (reading.warn ? "true" : "false") +
                "}";
    }
    json += "},\"warnings\":[";
    for (std::size_t i = 0; i < record.warnings.size(); ++i) {
        json += (i > 0 ? "," : "") + JsonString(record.warnings[i]);
    }
    return json + "]}\n";
}
