// How long a 37-byte command frame takes to go out through TCommX and come back from a far end
// that echoes it over a pseudo-terminal: the cost of the transmit thread, the receive notice and
// the owner's event loop on each exchange.

#include "link/CommX.h"
#include "TestPty.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <atomic>
#include <poll.h>
#include <thread>

namespace {

void BM_FrameRoundTrip(benchmark::State& state)
{
    mv53::test::TestPty pty;
    if (!pty.Ok()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    std::atomic<bool> stop{false};
    std::thread echo([&] {
        uint8_t buffer[256];
        while (!stop) {
            pollfd p{pty.Master(), POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const ssize_t n = ::read(pty.Master(), buffer, sizeof buffer);
            if (n > 0)
                pty.WriteAll(std::vector<uint8_t>(buffer, buffer + n));
        }
    });

    TCommX comm;
    int received = 0;
    QObject::connect(&comm, &TCustomCommX::OnReceive, &comm, [&](TCustomCommX* sender, int size) {
        std::vector<uint8_t> buffer(static_cast<std::size_t>(size) + 1);
        const int n = sender->Read(buffer.data(), size);
        if (n > 0)
            received += n;
    });
    comm.SetDevicePath(pty.Path());
    comm.Open();

    const std::vector<uint8_t> frame(37, 0x5A);
    for (auto _ : state) {
        received = 0;
        comm.Write(frame.data(), static_cast<int>(frame.size()));
        while (received < static_cast<int>(frame.size()))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    comm.Close();
    stop = true;
    echo.join();
}
BENCHMARK(BM_FrameRoundTrip)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
