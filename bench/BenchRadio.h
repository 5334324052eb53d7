#pragma once
// What the benchmarks that drive the radiosim program share: starting it as a process (its
// first line of output is the device to open) and a firmware file of random S2 records.

#include <QProcess>
#include <QStringList>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

namespace mv53::bench {

// Starts radiosim with these options; the device path it serves, empty when it did not start.
inline std::string StartRadiosim(QProcess& radio, const QStringList& options)
{
    radio.start(QStringLiteral(MV53_RADIOSIM_PATH), options);
    if (!radio.waitForStarted(10000) || !radio.waitForReadyRead(10000))
        return {};
    return QString::fromUtf8(radio.readLine()).trimmed().toStdString();
}

inline void StopRadiosim(QProcess& radio)
{
    radio.terminate();
    radio.waitForFinished(10000);
}

// An S-record firmware file of `length` random bytes from address 0 (a multiple of 32), in S2
// records of 32 bytes.
inline void WriteFirmwareFile(const std::string& path, unsigned length)
{
    std::mt19937 rng(1);
    std::ofstream out(path, std::ios::binary);
    out << "S0030000FC\r\n";
    for (unsigned a = 0; a < length; a += 32) {
        unsigned sum = 36 + (a >> 16) + ((a >> 8) & 0xFF) + (a & 0xFF);
        char line[96];
        int n = std::snprintf(line, sizeof line, "S224%06X", a);
        for (int i = 0; i < 32; ++i) {
            const unsigned b = rng() & 0xFF;
            sum += b;
            n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), "%02X", b);
        }
        std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), "%02X\r\n", ~sum & 0xFF);
        out << line;
    }
    out << "S9030000FC\r\n";
}

}  // namespace mv53::bench
