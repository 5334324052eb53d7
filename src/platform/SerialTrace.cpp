#include "platform/SerialTrace.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <sstream>

namespace mv53::platform {

namespace {

constexpr std::array<const char*, 6> kKindNames{"open", "settings", "tx", "rx", "hangup", "close"};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

bool IsSettingsText(const std::string& text)
{
    // "<rate> <bits><N|O|E><1|1.5|2>"
    std::istringstream in(text);
    std::string rate, frame, rest;
    if (!(in >> rate >> frame) || (in >> rest))
        return false;
    for (char c : rate)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    if (frame.size() < 3 || frame[0] < '5' || frame[0] > '8')
        return false;
    if (frame[1] != 'N' && frame[1] != 'O' && frame[1] != 'E')
        return false;
    const std::string stop = frame.substr(2);
    return stop == "1" || stop == "1.5" || stop == "2";
}

}  // namespace

const char* TraceKindName(TraceKind kind)
{
    return kKindNames[static_cast<std::size_t>(kind)];
}

std::string LineSettingsText(const LineSettings& settings)
{
    const char parity = settings.parity == Parity::Odd ? 'O' : settings.parity == Parity::Even ? 'E' : 'N';
    const char* stop = settings.stopBits == StopBits::Two ? "2" : settings.stopBits == StopBits::OnePointFive ? "1.5" : "1";
    return std::to_string(settings.baudRate) + ' ' + std::to_string(settings.dataBits) + parity + stop;
}

std::string HexBytes(const uint8_t* bytes, std::size_t count, std::size_t limit)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(count * 3);
    for (std::size_t i = 0; i < count && i < limit; ++i) {
        if (i > 0)
            text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    if (count > limit)
        text += " ...";
    return text;
}

std::string TraceLine(int64_t micros, TraceKind kind, const std::string& text, const uint8_t* bytes, std::size_t count)
{
    std::string line = std::to_string(micros) + ' ' + TraceKindName(kind);
    if (!text.empty())
        line += ' ' + text;
    if (count > 0)
        line += ' ' + HexBytes(bytes, count);
    line += '\n';
    return line;
}

bool ReadSerialTrace(const std::string& text, std::vector<TraceEvent>& events, std::string& error)
{
    events.clear();
    std::istringstream in(text);
    std::string line;
    int number = 0;
    int64_t last = 0;
    const auto fail = [&](const std::string& reason) {
        error = "line " + std::to_string(number) + ": " + reason;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        std::istringstream fields(line);
        std::string time, name;
        fields >> time >> name;
        TraceEvent event;
        event.line = number;
        if (time.empty() || time.size() > 18 || time.find_first_not_of("0123456789") != std::string::npos)
            return fail("the time \"" + time + "\" is not a number of microseconds");
        event.micros = std::stoll(time);
        if (event.micros < last)
            return fail("the time goes back (" + time + " after " + std::to_string(last) + ")");
        last = event.micros;
        const auto kind = std::find_if(kKindNames.begin(), kKindNames.end(), [&](const char* k) { return name == k; });
        if (kind == kKindNames.end())
            return fail(name.empty() ? std::string("an event is missing after the time") : "unknown event \"" + name + "\"");
        event.kind = static_cast<TraceKind>(kind - kKindNames.begin());
        std::string rest;
        std::getline(fields >> std::ws, rest);
        // Blanks at the end are dropped like those at the start (any white space, so that a text
        // written back without them reads the same).
        while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back())))
            rest.pop_back();
        switch (event.kind) {
        case TraceKind::Open:
            if (rest.empty())
                return fail("open names no device");
            event.text = rest;
            break;
        case TraceKind::Settings:
            if (!IsSettingsText(rest))
                return fail("settings \"" + rest + "\" are not like \"9600 8N2\"");
            event.text = rest;
            break;
        case TraceKind::Tx:
        case TraceKind::Rx: {
            std::istringstream hex(rest);
            std::string byte;
            while (hex >> byte) {
                if (byte.size() != 2 || HexDigit(byte[0]) < 0 || HexDigit(byte[1]) < 0)
                    return fail("\"" + byte + "\" is not a byte in hexadecimal");
                event.bytes.push_back(static_cast<uint8_t>(HexDigit(byte[0]) * 16 + HexDigit(byte[1])));
            }
            if (event.bytes.empty())
                return fail(name + " holds no bytes");
            break;
        }
        case TraceKind::HangUp:
        case TraceKind::Close:
            if (!rest.empty())
                return fail(name + " takes nothing after it");
            break;
        }
        events.push_back(std::move(event));
    }
    return true;
}

}  // namespace mv53::platform
