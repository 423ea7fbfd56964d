#include "cli/PollRecord.h"

#include "protocol/ReadingDisplay.h"

#include <gtest/gtest.h>

namespace {

TEST(PollRecordTest, CollectsTheElevenLabelsWithTheFlagsThatColourThem) {
    CliDisplay display;
    display.SetLabelText(LabelRail12V, "9.94");
    display.SetLabelText(LabelFanSpeed, "1200");
    ReadingFlags flags;
    flags.Rail12VOutOfBand = 1;
    // A latch colours nothing.
    flags.InputPowerAlarmShown = 1;

    const PollRecord record = CollectPoll(7, display, flags, {"box"});
    ASSERT_EQ(record.readings.size(), 11u);
    for (const ShownReading& reading : record.readings) {
        EXPECT_EQ(reading.warn, std::string(reading.key) == "rail_12v") << reading.key;
    }
    EXPECT_EQ(record.readings[4].text, "9.94");
    EXPECT_EQ(record.readings[10].text, "1200");
    EXPECT_EQ(record.warnings, std::vector<std::string>{"box"});
}

TEST(PollRecordTest, JsonEscapesWhatJsonMustAndKeepsUtf8) {
    PollRecord record{3, {{"energy", "energy", "kWh", "a\"b\\c\td", true}}, {"告警,\r\n第二行"}};
    EXPECT_EQ(
        FormatJson(record),
        "{\"poll\":3,\"reply\":true,\"readings\":{\"energy\":{\"text\":\"a\\\"b\\\\c\\u0009d\",\"unit\":"
        "\"kWh\",\"warn\":true}},\"warnings\":[\"告警,\\r\\n第二行\"]}\n");
}

TEST(PollRecordTest, TextPutsEachLineOfABoxOnALineOfItsOwn) {
    PollRecord record{
        2,
        {{"temperature", "temperature", "°C", "70", true}, {"fan_speed", "fan speed", "rpm", "800", false}},
        {"告警,\r\n第二行"}};
    EXPECT_EQ(FormatText(record), "poll 2\n"
                                  "  WARN  temperature         70 °C\n"
                                  "  ok    fan speed          800 rpm\n"
                                  "  warning: 告警,\n"
                                  "           第二行\n");
}

TEST(PollRecordTest, AnUnansweredPollHasNoReadingsToShow) {
    const PollRecord record = UnansweredPoll(4);
    EXPECT_FALSE(record.reply);
    EXPECT_TRUE(record.readings.empty());
    EXPECT_EQ(FormatText(record), "poll 4\n  no reply from the power supply\n");
    EXPECT_EQ(FormatJson(record), "{\"poll\":4,\"reply\":false}\n");
}

} // namespace
