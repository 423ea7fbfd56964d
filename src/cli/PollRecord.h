#pragma once

#include "cli/CliDisplay.h"
#include "protocol/ReadingFlags.h"

#include <string>
#include <vector>

// One reading as the window shows it: the label's text and whether the label is in its warning colour.
struct ShownReading {
    const char* key;  // name in JSON
    const char* name; // name in text output
    const char* unit;
    std::string text;
    bool warn;
};

inline constexpr const char* kNoReplyMessage = "no reply from the power supply";

struct PollRecord {
    int poll = 0;
    std::vector<ShownReading> readings; // all eleven, in the order the overview lists them
    std::vector<std::string> warnings;  // the boxes the pass raised, in order
    // False when the supply did not answer the poll; there are then no readings to show.
    bool reply = true;
};

PollRecord CollectPoll(int poll, const CliDisplay& display, const ReadingFlags& flags,
                       std::vector<std::string> warnings);
PollRecord UnansweredPoll(int poll);

// A block of lines per poll.
std::string FormatText(const PollRecord& record);
// One JSON object on one line.
std::string FormatJson(const PollRecord& record);
