#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A strict reader of one JSON text (RFC 8259): no trailing commas, no bare control characters, only the
// escapes JSON has, surrogate escapes in pairs. Strings come back as UTF-8.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    std::string text;             // a string's value, or a number's spelling
    std::vector<JsonValue> items; // an array's values, or an object's
    // An object's members in the order written: names[i] names items[i].
    std::vector<std::string> names;

    const JsonValue* Member(std::string_view name) const {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] == name) {
                return &items[i];
            }
        }
        return nullptr;
    }
};

class StrictJsonReader {
public:
    explicit StrictJsonReader(std::string_view text) : m_text(text) {}

    // nullopt unless the whole text is one value, with blanks around it at most.
    std::optional<JsonValue> Read() {
        auto value = Value(0);
        SkipBlanks();
        if (!value || m_pos != m_text.size()) {
            return std::nullopt;
        }
        return value;
    }

private:
    static constexpr int kDeepest = 64;

    void SkipBlanks() {
        while (m_pos < m_text.size() &&
               std::string_view(" \t\r\n").find(m_text[m_pos]) != std::string_view::npos) {
            ++m_pos;
        }
    }
    bool Take(char c) {
        SkipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool TakeWord(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) != word) {
            return false;
        }
        m_pos += word.size();
        return true;
    }

    std::optional<JsonValue> Value(int depth) {
        SkipBlanks();
        if (depth > kDeepest || m_pos >= m_text.size()) {
            return std::nullopt;
        }
        JsonValue value;
        const char c = m_text[m_pos];
        if (c == '{') {
            value.kind = JsonValue::Kind::Object;
            ++m_pos;
            if (Take('}')) {
                return value;
            }
            do {
                SkipBlanks();
                auto key = String();
                if (!key || !Take(':')) {
                    return std::nullopt;
                }
                auto member = Value(depth + 1);
                if (!member) {
                    return std::nullopt;
                }
                value.names.push_back(std::move(*key));
                value.items.push_back(std::move(*member));
            } while (Take(','));
            return Take('}') ? std::optional(value) : std::nullopt;
        }
        if (c == '[') {
            value.kind = JsonValue::Kind::Array;
            ++m_pos;
            if (Take(']')) {
                return value;
            }
            do {
                auto item = Value(depth + 1);
                if (!item) {
                    return std::nullopt;
                }
                value.items.push_back(std::move(*item));
            } while (Take(','));
            return Take(']') ? std::optional(value) : std::nullopt;
        }
        if (c == '"') {
            auto text = String();
            if (!text) {
                return std::nullopt;
            }
            value.kind = JsonValue::Kind::String;
            value.text = std::move(*text);
            return value;
        }
        if (TakeWord("true") || TakeWord("false")) {
            value.kind = JsonValue::Kind::Bool;
            value.boolean = c == 't';
            return value;
        }
        if (TakeWord("null")) {
            return value;
        }
        return Number();
    }

    std::optional<JsonValue> Number() {
        const std::size_t start = m_pos;
        const auto digits = [&] {
            const std::size_t from = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
                ++m_pos;
            }
            return m_pos - from;
        };
        TakeWord("-");
        const std::size_t intStart = m_pos;
        const std::size_t intDigits = digits();
        if (intDigits == 0 || (intDigits > 1 && m_text[intStart] == '0')) {
            return std::nullopt;
        }
        if (TakeWord(".") && digits() == 0) {
            return std::nullopt;
        }
        if (TakeWord("e") || TakeWord("E")) {
            TakeWord("+") || TakeWord("-");
            if (digits() == 0) {
                return std::nullopt;
            }
        }
        JsonValue value;
        value.kind = JsonValue::Kind::Number;
        value.text = std::string(m_text.substr(start, m_pos - start));
        return value;
    }

    std::optional<unsigned> Hex4() {
        if (m_pos + 4 > m_text.size()) {
            return std::nullopt;
        }
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const auto digit =
                std::string_view("0123456789abcdef").find(static_cast<char>(m_text[m_pos++] | 0x20));
            if (digit == std::string_view::npos) {
                return std::nullopt;
            }
            value = value << 4 | static_cast<unsigned>(digit);
        }
        return value;
    }

    static void AppendUtf8(std::string& out, char32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | code >> 18);
            out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::optional<std::string> String() {
        if (m_pos >= m_text.size() || m_text[m_pos] != '"') {
            return std::nullopt;
        }
        ++m_pos;
        std::string out;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"') {
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return std::nullopt;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size()) {
                return std::nullopt;
            }
            const char escape = m_text[m_pos++];
            const auto simple = std::string_view("\"\\/bfnrt").find(escape);
            if (simple != std::string_view::npos) {
                out += "\"\\/\b\f\n\r\t"[simple];
                continue;
            }
            if (escape != 'u') {
                return std::nullopt;
            }
            auto unit = Hex4();
            if (!unit || (*unit >= 0xDC00 && *unit <= 0xDFFF)) {
                return std::nullopt;
            }
            char32_t code = *unit;
            if (*unit >= 0xD800 && *unit <= 0xDBFF) {
                if (!TakeWord("\\u")) {
                    return std::nullopt;
                }
                const auto low = Hex4();
                if (!low || *low < 0xDC00 || *low > 0xDFFF) {
                    return std::nullopt;
                }
                code = 0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00);
            }
            AppendUtf8(out, code);
        }
        return std::nullopt;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};
