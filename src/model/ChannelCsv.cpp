#include "model/ChannelCsv.h"

#include "model/ChannelTexts.h"
#include "model/ChannelValues.h"
#include "model/U_Const.h"
#include "model/U_E2prom.h"
#include "model/U_InputFilter.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <vector>

namespace mv53 {

namespace {

constexpr int kCsvColumns = 10;   // the grid's columns 0..9
constexpr std::array<const char*, kCsvColumns> kHeaders = {
    "Chn", "TAG", "Receive", "Transmit", "Mode", "Pwr", "Shift", "Encryption", "Selcall", "Tune"};
constexpr const char* kLineEnd = "\r\n";
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

constexpr const char* kNoHeader = "the header line is missing";
constexpr const char* kUnknownColumn = "unknown column \"";
constexpr const char* kColumnTwice = "\" appears twice";
constexpr const char* kOpenQuote = "the quoted field has no closing quote";
constexpr const char* kNotUtf8 = "the text is not UTF-8";
constexpr const char* kNotStorable = "\" is not a character a channel can hold";
constexpr const char* kEmpty = " is empty";
constexpr const char* kBadChannel = "Chn must be a channel number from 1 to 500";
constexpr const char* kChannelTwice = " is listed twice";
constexpr const char* kTooMany = "more than 500 channels";
constexpr const char* kNoColumn = "a value beyond the last column";

std::string Latin1ToUtf8(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

// UTF-8 into the records' 8-bit text; the reason in error when it cannot be.
bool Utf8ToLatin1(const std::string& text, std::string& out, std::string& error)
{
    out.clear();
    for (size_t i = 0; i < text.size();) {
        const auto u = static_cast<unsigned char>(text[i]);
        const size_t length = u < 0x80 ? 1 : (u & 0xE0) == 0xC0 ? 2 : (u & 0xF0) == 0xE0 ? 3 : (u & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || i + length > text.size()) {
            error = kNotUtf8;
            return false;
        }
        uint32_t code = length == 1 ? u : u & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                error = kNotUtf8;
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (code > 0xFF) {
            error = "\"" + text.substr(i, length) + kNotStorable;
            return false;
        }
        out += static_cast<char>(code);
        i += length;
    }
    return true;
}

std::string Field(const std::string& text, char separator)
{
    const bool quote = text.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote)
        return text;
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

bool SameName(std::string a, std::string b)
{
    const auto lower = [](std::string& s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    lower(a);
    lower(b);
    return a == b;
}

// The grid column a header text names, -1 for none.
int ColumnNamed(const std::string& header)
{
    const std::string name = TrimBlanks(header);
    for (int c = 0; c < kCsvColumns; ++c)
        if (SameName(name, kHeaders[static_cast<size_t>(c)]) || SameName(name, ChannelColumnName(c)))
            return c;
    return -1;
}

struct TRecord {
    int Line = 0;
    std::vector<std::string> Fields;
    bool Blank() const
    {
        return std::all_of(Fields.begin(), Fields.end(), [](const std::string& f) { return TrimBlanks(f).empty(); });
    }
};

// Splits the text into records of fields. A quoted field may hold separators, line ends and
// doubled quotes. False with error (line and column) for a quote that is never closed.
bool SplitRecords(const std::string& text, char separator, std::vector<TRecord>& records, std::string& error)
{
    int line = 1;
    TRecord record{line, {std::string()}};
    bool quoted = false;
    bool hadQuote = false;
    int quoteLine = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool lineEnd = c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'));
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                record.Fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                record.Fields.back() += c;
            }
            if (lineEnd)
                ++line;
            continue;
        }
        if (c == '"' && !hadQuote && TrimBlanks(record.Fields.back()).empty()) {
            record.Fields.back().clear();
            quoted = hadQuote = true;
            quoteLine = line;
        } else if (c == separator) {
            record.Fields.emplace_back();
            hadQuote = false;
        } else if (lineEnd) {
            records.push_back(std::move(record));
            record = TRecord{++line, {std::string()}};
            hadQuote = false;
        } else if (c != '\r') {
            record.Fields.back() += c;
        }
    }
    if (quoted) {
        error = "line " + std::to_string(quoteLine) + ", column " + std::to_string(record.Fields.size()) + ": " + kOpenQuote;
        return false;
    }
    records.push_back(std::move(record));
    return true;
}

std::string At(const TRecord& record, size_t field, const std::string& reason)
{
    return "line " + std::to_string(record.Line) + ", column " + std::to_string(field + 1) + ": " + reason;
}

}  // namespace

std::string ChannelsToCsv(const TChannels& channels)
{
    std::string out;
    for (int c = 0; c < kCsvColumns; ++c)
        out += std::string(c == 0 ? "" : ",") + kHeaders[static_cast<size_t>(c)];
    out += kLineEnd;
    for (int i = 0; i < TChannels::kCount; ++i) {
        const TChannel& ch = channels.Items(i);
        if (ch.Status() != kChannelUsed)
            continue;
        for (int c = 0; c < kCsvColumns; ++c) {
            std::string text = ChannelCellText(i, ch, c);
            if (c == kTagColumn)
                text.erase(text.find_last_not_of(' ') + 1);   // the padding typing adds
            out += (c == 0 ? "" : ",") + Field(Latin1ToUtf8(text), ',');
        }
        out += kLineEnd;
    }
    return out;
}

bool ChannelsFromCsv(const std::string& input, const TFactoryOpt& factory, TChannels& channels, std::string& error)
{
    std::string text = input.rfind(kByteOrderMark, 0) == 0 ? input.substr(3) : input;
    const std::string headerLine = text.substr(0, text.find('\n'));
    const bool semicolons = headerLine.find(';') != std::string::npos && headerLine.find(',') == std::string::npos;
    std::vector<TRecord> records;
    if (!SplitRecords(text, semicolons ? ';' : ',', records, error))
        return false;
    std::erase_if(records, [](const TRecord& r) { return r.Blank(); });
    if (records.empty()) {
        error = "line 1, column 1: " + std::string(kNoHeader);
        return false;
    }

    // Which field of a line holds each grid column (-1: left out).
    const TRecord& header = records.front();
    std::array<int, kCsvColumns> fieldOf;
    fieldOf.fill(-1);
    for (size_t f = 0; f < header.Fields.size(); ++f) {
        const int column = ColumnNamed(header.Fields[f]);
        if (column < 0) {
            error = At(header, f, kUnknownColumn + TrimBlanks(header.Fields[f]) + "\"");
            return false;
        }
        if (fieldOf[static_cast<size_t>(column)] >= 0) {
            error = At(header, f, "column \"" + TrimBlanks(header.Fields[f]) + kColumnTwice);
            return false;
        }
        fieldOf[static_cast<size_t>(column)] = static_cast<int>(f);
    }

    TChannels result;
    for (int i = 0; i < TChannels::kCount; ++i)
        ClearChannel(result.Items(i), i);
    std::array<bool, TChannels::kCount> listed{};
    int next = 0;
    for (size_t r = 1; r < records.size(); ++r) {
        const TRecord& record = records[r];
        for (size_t f = header.Fields.size(); f < record.Fields.size(); ++f)
            if (!TrimBlanks(record.Fields[f]).empty()) {
                error = At(record, f, kNoColumn);
                return false;
            }
        const auto field = [&](int column) -> const std::string* {
            const int f = fieldOf[static_cast<size_t>(column)];
            return f >= 0 && static_cast<size_t>(f) < record.Fields.size() ? &record.Fields[static_cast<size_t>(f)] : nullptr;
        };
        int index = next;
        if (fieldOf[0] >= 0) {
            const std::string* chn = field(0);
            const auto number = chn != nullptr ? ParseInt(TrimBlanks(*chn)) : std::nullopt;
            if (!number || *number < 1 || *number > TChannels::kCount) {
                error = At(record, static_cast<size_t>(fieldOf[0]), kBadChannel);
                return false;
            }
            index = *number - 1;
        } else if (index >= TChannels::kCount) {
            error = At(record, 0, kTooMany);
            return false;
        }
        if (listed[static_cast<size_t>(index)]) {
            error = At(record, static_cast<size_t>(std::max(fieldOf[0], 0)), "channel " + std::to_string(index + 1) + kChannelTwice);
            return false;
        }
        listed[static_cast<size_t>(index)] = true;
        next = index + 1;

        TChannel& ch = result.Items(index);
        ch.SetStatus(kChannelUsed);
        // In the grid's column order: a receive frequency sets the transmit frequency first.
        for (int column = kTagColumn; column < kCsvColumns; ++column) {
            const std::string* value = field(column);
            if (value == nullptr)
                continue;
            const size_t at = static_cast<size_t>(fieldOf[static_cast<size_t>(column)]);
            std::string latin1;
            std::string reason;
            if (Utf8ToLatin1(*value, latin1, reason))
                reason = column != kTagColumn && TrimBlanks(latin1).empty()
                             ? ChannelColumnName(column) + kEmpty
                             : Latin1ToUtf8(TakeCellText(ch, index, column, latin1, factory));
            if (!reason.empty()) {
                error = At(record, at, reason);
                return false;
            }
        }
    }
    channels = result;
    return true;
}

}  // namespace mv53
