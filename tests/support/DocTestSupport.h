#pragma once
// A document on its own program state in a temporary program folder, with a scripted prompt
// and transfers that are recorded and answer as scripted; and small data-file helpers.

#include "ScriptedPrompt.h"
#include "TestRecords.h"
#include "document/Document.h"
#include "model/U_FileAccess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace mv53::test {

// A used channel 1 with the tag (the range repair resets empty channels to their defaults).
inline void SetTag(TChannels& channels, const char* tag)
{
    channels.Items(0).SetStatus(0xA5);
    channels.Items(0).SetTag(tag);
}
inline void SetTag(TMVmem& m, const char* tag) { SetTag(m.Channels(), tag); }

// A data file's channel 1 tag, to tell files apart ("?" when it does not read).
inline std::string TagOfFile(const std::string& path)
{
    TMVmem mem;
    TText text;
    return ReadDataFile(path, mem, text) ? mem.Channels().Items(0).Tag() : std::string("?");
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class DocumentTest : public ::testing::Test {
protected:
    ScriptedPrompt prompt;
    ScopedPrompt scoped{prompt};
    TProgramState state;
    std::vector<TTransferRequest> requests;
    // What the next transfers return, in order (true when none are left).
    std::vector<bool> results;
    // Runs inside a transfer that succeeds (an upload puts the "radio's" data here).
    std::function<void(TProgramState&, const TTransferRequest&)> onTransfer;
    int changes = 0;
    TDocument doc{state, Hooks()};

    DocumentTest()
    {
        m_dir = std::filesystem::temp_directory_path() / ("mv53-doc-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(m_dir);
        state.ProgramDir = m_dir.string();
        state.CurrentMem = ClearedRecords();
        state.GridChannels = state.CurrentMem.Channels();
    }
    ~DocumentTest() override { std::filesystem::remove_all(m_dir); }

    std::string Path(const char* name) const { return (m_dir / name).string(); }

    TDocumentHooks Hooks()
    {
        TDocumentHooks hooks;
        hooks.Transfer = [this](const TTransferRequest& request) {
            requests.push_back(request);
            const bool ok = results.empty() || results.front();
            if (!results.empty())
                results.erase(results.begin());
            if (ok && onTransfer)
                onTransfer(state, request);
            return ok;
        };
        hooks.Changed = [this] { ++changes; };
        return hooks;
    }

    // Writes a data file from cleared records changed by edit.
    static void MakeDataFile(const std::string& path, const std::function<void(TMVmem&)>& edit = {})
    {
        TMVmem mem = ClearedRecords(edit);
        TText text;
        ASSERT_TRUE(WriteDataFile(path, mem, text));
    }

    void Open(const std::string& path, bool readOnly = false)
    {
        prompt.openResults = {OpenFileResult{path, readOnly}};
        doc.Open();
    }

    // The grid's working copy edited, as the grid leaves it before a commit.
    void EditGrid(const char* tag) { SetTag(state.GridChannels, tag); }

private:
    std::filesystem::path m_dir;
};

}  // namespace mv53::test
