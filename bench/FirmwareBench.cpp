// Firmware writing benchmark: a 128 KiB HD64F2134ATF20 image written against the radiosim
// program in its boot mode (a separate process, so that this process's CPU time is the PC
// side alone), pacing bytes at the line rate: the boot program at the found rate of 19200 bit/s,
// the write phase at 38400 bit/s, both 8N2.
//
// Reported per phase:
//   wall   from the phase's first byte to its last answer
//   wire   the line time of every byte exchanged in it: bytes x 11 bits / rate (the two
//          directions never overlap: the PC waits for each answer)
//   wall / wire   goal: within 1.03
//   cpu / wall    CPU time of this process (all its threads), goal: under 0.02
//
// The boot program is also loaded by a minimal client against a fresh simulator (write a byte,
// block in read() for its echo): the floor that the simulator, the pseudo-terminal and the
// machine's wake-ups set for any program. "over floor" is the program's wall time against it.

#include "BenchRadio.h"
#include "service/RadioFSW.h"
#include "service/FirmwareSupply.h"
#include "state/U_Global.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>
#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kBitsPerByte = 11.0;

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Mark {
    Clock::time_point wall;
    double cpu = 0;
    static Mark Now() { return {Clock::now(), CpuSeconds()}; }
};

double Seconds(const Mark& from, const Mark& to)
{
    return std::chrono::duration<double>(to.wall - from.wall).count();
}

void Report(const char* phase, const Mark& from, const Mark& to, double bytes, double rate)
{
    const double wall = Seconds(from, to);
    const double wire = bytes * kBitsPerByte / rate;
    const double cpu = to.cpu - from.cpu;
    std::printf("%-14s wall %8.3f s  wire %8.3f s  wall/wire %.4f (goal <= 1.03)  cpu %.3f s  cpu/wall %.4f (goal < 0.02)\n",
                phase, wall, wire, wall / wire, cpu, cpu / wall);
}

// Starts radiosim in its paced boot mode at 19200 bit/s; the device path, empty on failure.
std::string StartRadio(QProcess& radio)
{
    return mv53::bench::StartRadiosim(radio, {QStringLiteral("--boot"), QStringLiteral("--boot-rate"),
                                              QStringLiteral("19200"), QStringLiteral("--pace")});
}

// The minimal client: enters the boot mode and loads a boot program of `size` bytes, each
// written alone and its echo read with a blocking read(). False when the radio misbehaved.
bool LoadWithMinimalClient(const std::string& device, std::size_t size, Mark& from, Mark& to)
{
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return false;
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B19200);
    t.c_cflag |= CSTOPB;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &t);
    const auto exchange = [fd](const std::vector<unsigned char>& out, std::size_t n) {
        std::vector<unsigned char> in(n);
        if (::write(fd, out.data(), out.size()) != static_cast<ssize_t>(out.size()))
            return std::vector<unsigned char>{};
        for (std::size_t got = 0; got < n;) {
            const ssize_t r = ::read(fd, in.data() + got, n - got);
            if (r <= 0)
                return std::vector<unsigned char>{};
            got += static_cast<std::size_t>(r);
        }
        return in;
    };
    bool ok = exchange(std::vector<unsigned char>(8, 0x00), 1) == std::vector<unsigned char>{0x00};
    ::usleep(50000);
    ::tcflush(fd, TCIFLUSH);
    ok = ok && exchange({0x55}, 1) == std::vector<unsigned char>{0xAA};
    ok = ok && exchange({0x08, 0x5E}, 2) == std::vector<unsigned char>{0x08, 0x5E};
    from = Mark::Now();
    for (std::size_t i = 0; ok && i < size; ++i)
        ok = exchange({0x3C}, 1) == std::vector<unsigned char>{0x3C};
    to = Mark::Now();
    ::close(fd);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("KT468BEN_V0100.SFL")).toStdString();
    mv53::bench::WriteFirmwareFile(file, 0x20000);   // 128 KiB

    QProcess radio;
    const std::string device = StartRadio(radio);
    if (device.empty()) {
        std::fprintf(stderr, "radiosim did not start\n");
        return 1;
    }

    TProgramState state;
    mv53::TFirmwareWriter writer(state);
    writer.SetDevicePath(device);
    writer.SetConfirmation([] {});
    writer.SetRetryQuestion([](const std::string& detail) {
        std::fprintf(stderr, "failed: %s\n", detail.c_str());
        return false;
    });
    Mark bootFrom, bootTo, writeFrom, writeTo;
    QObject::connect(&writer, &mv53::TFirmwareWriter::BootRange, [&](int) { bootFrom = Mark::Now(); });
    QObject::connect(&writer, &mv53::TFirmwareWriter::BootProgress, [&](int p) {
        if (p == 2141)
            bootTo = Mark::Now();
    });
    QObject::connect(&writer, &mv53::TFirmwareWriter::WriteRange, [&](int max) {
        if (max == 1023)
            writeFrom = Mark::Now();
    });
    QObject::connect(&writer, &mv53::TFirmwareWriter::BarsVisible, [&](bool shown) {
        if (!shown)
            writeTo = Mark::Now();
    });
    mv53::TFirmwareJob job;
    job.filePath = file;
    job.cpu = mv53::fw::TCpuType::HD64F2134ATF20;
    job.bootProgram.assign(mv53::fw::kBootProgramSize, 0x3C);
    const bool ok = writer.Run(job);
    radio.terminate();
    radio.waitForFinished(5000);
    if (!ok) {
        std::fprintf(stderr, "the write failed: %s\n", writer.Result().detail.c_str());
        return 1;
    }
    // Boot program: each byte and its echo.
    Report("boot program", bootFrom, bootTo, 2.0 * 2142, 19200);
    QProcess floorRadio;
    Mark floorFrom, floorTo;
    const std::string floorDevice = StartRadio(floorRadio);
    if (!floorDevice.empty() && LoadWithMinimalClient(floorDevice, mv53::fw::kBootProgramSize, floorFrom, floorTo)) {
        Report("  floor", floorFrom, floorTo, 2.0 * 2142, 19200);
        std::printf("  program over floor %.4f\n", Seconds(bootFrom, bootTo) / Seconds(floorFrom, floorTo));
    } else {
        std::fprintf(stderr, "the minimal client could not load the boot program\n");
    }
    floorRadio.terminate();
    floorRadio.waitForFinished(5000);
    // Write phase: W 00 8B, 06, the 9-byte header, per block 11 and 11 + 128 bytes, the last
    // 11, 11 + sum, 06, then C and the 4 checksum bytes.
    Report("write phase", writeFrom, writeTo, 3 + 1 + 9 + 1024.0 * 130 + 1 + 2 + 1 + 1 + 4, 38400);
    return 0;
}
