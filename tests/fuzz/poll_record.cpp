// The cli's JSON output for arbitrary replies and unanswered polls: every record is one line of well-formed
// JSON that reads back as the record, and stays valid UTF-8 when what went into it was.
#include "cli/CliDisplay.h"
#include "cli/PollRecord.h"
#include "protocol/ReadingPipeline.h"

#include "FuzzCheck.h"
#include "StrictJson.h"
#include "Utf8.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void CheckJson(const PollRecord& record) {
    const std::string line = FormatJson(record);
    Require(line.ends_with('\n') && std::count(line.begin(), line.end(), '\n') == 1, "a record is one line");
    const bool utf8In = std::all_of(record.readings.begin(), record.readings.end(),
                                    [](const ShownReading& r) { return IsValidUtf8(r.text); }) &&
                        std::all_of(record.warnings.begin(), record.warnings.end(), IsValidUtf8);
    Require(!utf8In || IsValidUtf8(line), "UTF-8 in, UTF-8 out");

    const auto json = StrictJsonReader(line).Read();
    Require(json && json->kind == JsonValue::Kind::Object, "a record is a JSON object");
    const JsonValue* poll = json->Member("poll");
    Require(poll && poll->kind == JsonValue::Kind::Number && poll->text == std::to_string(record.poll),
            "the poll number reads back");
    const JsonValue* reply = json->Member("reply");
    Require(reply && reply->kind == JsonValue::Kind::Bool && reply->boolean == record.reply,
            "reply reads back");
    if (!record.reply) {
        Require(json->names.size() == 2, "an unanswered poll has no readings");
        return;
    }
    const JsonValue* readings = json->Member("readings");
    Require(readings && readings->kind == JsonValue::Kind::Object &&
                readings->names.size() == record.readings.size(),
            "every reading is in the record");
    for (std::size_t i = 0; i < record.readings.size(); ++i) {
        const ShownReading& shown = record.readings[i];
        const std::string& key = readings->names[i];
        const JsonValue& value = readings->items[i];
        const JsonValue* text = value.Member("text");
        const JsonValue* unit = value.Member("unit");
        const JsonValue* warn = value.Member("warn");
        Require(key == shown.key && text && text->text == shown.text && unit && unit->text == shown.unit &&
                    warn && warn->kind == JsonValue::Kind::Bool && warn->boolean == shown.warn,
                "a reading reads back, in order");
    }
    const JsonValue* warnings = json->Member("warnings");
    Require(warnings && warnings->kind == JsonValue::Kind::Array &&
                warnings->items.size() == record.warnings.size(),
            "every warning is in the record");
    for (std::size_t i = 0; i < record.warnings.size(); ++i) {
        Require(warnings->items[i].kind == JsonValue::Kind::String &&
                    warnings->items[i].text == record.warnings[i],
                "a warning reads back");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Per poll: a byte (bit 0: connected, bit 1: the supply answered) and the 64 bytes after the report ID.
    // What is left after the last whole poll: texts separated by NUL, extra warnings for the last record.
    constexpr std::size_t kPollSize = 65;
    CCDataProcessing processor;
    ReadingFlags flags;
    std::atomic<std::int32_t> connected{0};
    CliDisplay display;
    ReadingPipeline pipeline(processor, flags, connected, display);
    const std::atomic<bool> noStop{false};

    std::vector<PollRecord> records;
    std::size_t at = 0;
    for (; at + kPollSize <= size; at += kPollSize) {
        const int poll = static_cast<int>(records.size()) + 1;
        connected = data[at] & 1;
        if ((data[at] & 2) == 0) {
            records.push_back(UnansweredPoll(poll));
            continue;
        }
        ReadingPipeline::Report report{};
        std::copy_n(data + at + 1, 64, report.begin() + 1);
        Require(pipeline.RunPass(report, noStop), "a pass without a stop request runs to its end");
        records.push_back(CollectPoll(poll, display, flags, display.TakeWarnings()));
    }
    PollRecord extra = records.empty() ? PollRecord{static_cast<int>(size), {}, {}} : records.back();
    std::string_view rest(reinterpret_cast<const char*>(data + at), size - at);
    while (!rest.empty()) {
        const auto end = rest.find('\0');
        extra.warnings.emplace_back(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    extra.reply = true;
    records.push_back(extra);
    for (const PollRecord& record : records) {
        CheckJson(record);
    }
    return 0;
}
