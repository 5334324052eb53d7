#pragma once
// The radiosim program as a child process, for tests that run mv53 as a process too: it serves
// a pseudo-terminal of its own, whose path is its first line of output (Device), until it is
// told to stop; then it saves what its options say.

#include "RunProcess.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <memory>
#include <string>
#include <vector>

namespace mv53::test {

class SimProgram final {
public:
    explicit SimProgram(std::string program = MV53_RADIOSIM_PATH) : m_program(std::move(program)) {}
    ~SimProgram() { Stop(); }

    ::testing::AssertionResult Start(const std::vector<std::string>& args)
    {
        Stop();
        m_process = std::make_unique<Process>(m_program, args);
        m_device = m_process->ReadLine();
        if (m_device.empty())
            return ::testing::AssertionFailure() << "radiosim named no device: " << m_process->Finish(5000).err;
        return ::testing::AssertionSuccess();
    }
    const std::string& Device() const { return m_device; }

    // Ends it the way a person does (SIGTERM) and waits; true when it ended cleanly.
    bool Stop()
    {
        if (!m_process)
            return true;
        m_process->Signal(SIGTERM);
        const ProcessResult r = m_process->Finish(10000);
        m_process.reset();
        EXPECT_EQ(r.status, 0) << r.err;
        return r.status == 0;
    }

private:
    std::string m_program;
    std::unique_ptr<Process> m_process;
    std::string m_device;
};

}  // namespace mv53::test
