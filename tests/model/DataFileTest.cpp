// The data file on disk: reading, writing, refusals and the messages the user sees.

#include "TestRecords.h"
#include "ScratchDir.h"
#include "ScriptedPrompt.h"

#include "model/U_E2prom.h"
#include "model/U_FileAccess.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <vector>

namespace fs = std::filesystem;
using mv53::Byte;

namespace {

class DataFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.Ok());
        ClearRecords(*m_mem);
        m_mem->SetFwVersion("1A2B");
        m_mem->Channels().Items(4).SetStatus(0xA5);
        m_mem->Channels().Items(4).SetTag("KEEP");
        (*m_image)[100] = 0x42;
        m_memBefore = std::make_unique<TMVmem>(*m_mem);
        m_imageBefore = std::make_unique<TText>(*m_image);
    }

    std::string Path(const std::string& name) const { return m_dir.Path(name); }
    static void WriteBytes(const std::string& path, const std::vector<Byte>& bytes)
    {
        mv53::test::WriteFile(path, std::string(bytes.begin(), bytes.end()));
    }
    static std::vector<Byte> ReadBytes(const std::string& path)
    {
        const std::string bytes = mv53::test::ReadFile(path);
        return {bytes.begin(), bytes.end()};
    }

    // The records and image are still those of SetUp: a failing call changed nothing.
    void ExpectUnchanged()
    {
        EXPECT_EQ(m_mem->FwVersion(), m_memBefore->FwVersion());
        EXPECT_TRUE(m_mem->Channels().Equals(m_memBefore->Channels()));
        EXPECT_TRUE(m_mem->Sel().Equals(m_memBefore->Sel()));
        EXPECT_TRUE(m_image->Equals(*m_imageBefore));
    }

    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir.Root()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    mv53::test::ScratchDir m_dir;
    std::unique_ptr<TMVmem> m_mem = std::make_unique<TMVmem>();
    std::unique_ptr<TText> m_image = std::make_unique<TText>();
    std::unique_ptr<TMVmem> m_memBefore;
    std::unique_ptr<TText> m_imageBefore;
    mv53::test::ScriptedPrompt m_prompt;
    mv53::ScopedPrompt m_scoped{m_prompt};
};

}  // namespace

// Cleared and random records: the file is the image made in memory, with the model id first and
// zero serial bytes, and reads back to the same records without the serial number.
TEST_F(DataFile, SavedRecordsReadBackEqual)
{
    for (unsigned seed = 0; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        auto original = std::make_unique<TMVmem>();
        if (seed == 0)
            ClearRecords(*original);
        else
            mv53::test::RandomRecords(seed).Fill(*original);
        original->FactoryOpt().SetSerialNo("1C3F0A99");
        auto image = std::make_unique<TText>();
        const std::string path = Path("saved.m53");
        ASSERT_TRUE(WriteDataFile(path, *original, *image));
        const std::vector<Byte> bytes = ReadBytes(path);
        ASSERT_EQ(bytes.size(), 17927u);
        EXPECT_EQ(std::vector<Byte>(bytes.begin(), bytes.begin() + 6), (std::vector<Byte>{'k', 't', '4', '6', '8', 'h'}));
        EXPECT_EQ(std::vector<Byte>(bytes.begin() + 17414, bytes.begin() + 17422), std::vector<Byte>(8, 0));
        EXPECT_EQ(std::vector<Byte>(image->Data(), image->Data() + image->Size()), bytes);

        ASSERT_TRUE(ReadDataFile(path, *m_mem, *m_image));
        EXPECT_EQ(m_mem->FwVersion(), "----");
        original->FactoryOpt().SetSerialNo("00000000");   // a data file holds no serial number
        EXPECT_TRUE(mv53::test::SameRecords(*m_mem, *original));
        EXPECT_TRUE(m_image->Equals(*image));
    }
    EXPECT_TRUE(m_prompt.texts().empty());
    // Writing replaced the file each time; no temporary file is left beside it.
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"saved.m53"});
}

TEST_F(DataFile, LengthOfTheFile)
{
    WriteBytes(Path("short.m53"), std::vector<Byte>(17926, 0));
    EXPECT_FALSE(ReadDataFile(Path("short.m53"), *m_mem, *m_image));
    EXPECT_EQ(m_prompt.texts(), std::vector<std::string>{"The file cannot be opened.\r\nThe file format is not correct."});
    EXPECT_EQ(m_prompt.shown.at(0).icon, mv53::PromptIcon::Error);
    EXPECT_EQ(m_prompt.shown.at(0).buttons, mv53::PromptButtons::Ok);
    ExpectUnchanged();

    WriteBytes(Path("empty.m53"), {});
    EXPECT_FALSE(ReadDataFile(Path("empty.m53"), *m_mem, *m_image));
    ExpectUnchanged();

    // Longer: the first 17927 bytes are the image, every byte as it stands (the decoder skips
    // many, and the model id is none), taken without a word.
    std::vector<Byte> longer(20000, 0x11);
    for (int i = 0; i < 17927; ++i)
        longer[static_cast<size_t>(i)] = static_cast<Byte>(i * 7);
    WriteBytes(Path("long.m53"), longer);
    ASSERT_TRUE(ReadDataFile(Path("long.m53"), *m_mem, *m_image));
    EXPECT_EQ(m_prompt.texts().size(), 2u);   // the short and the empty file's
    EXPECT_EQ(std::vector<Byte>(m_image->Data(), m_image->Data() + m_image->Size()),
              std::vector<Byte>(longer.begin(), longer.begin() + 17927));
    EXPECT_EQ(m_mem->FwVersion(), "----");
}

TEST_F(DataFile, UnreadablePathsReportAReadError)
{
    const std::string missing = Path("no-such-folder/file.m53");
    EXPECT_FALSE(ReadDataFile(missing, *m_mem, *m_image));
    EXPECT_FALSE(ReadDataFile(m_dir.Root(), *m_mem, *m_image));
    EXPECT_FALSE(ReadDataFile("", *m_mem, *m_image));
    EXPECT_EQ(m_prompt.texts(), (std::vector<std::string>{"File read error  File Name = " + missing,
                                                          "File read error  File Name = " + m_dir.Root(),
                                                          "File read error  File Name = "}));
    ExpectUnchanged();
}

TEST_F(DataFile, FailedWritesLeaveNoFileAndNoTemporaryFile)
{
    const std::string missing = Path("no-such-folder/file.m53");
    EXPECT_FALSE(WriteDataFile(missing, *m_mem, *m_image));
    EXPECT_FALSE(fs::exists(missing));

    const std::string folder = Path("folder.m53");
    fs::create_directory(folder);
    EXPECT_FALSE(WriteDataFile(folder, *m_mem, *m_image));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(m_prompt.texts(), (std::vector<std::string>{"File write error  File Name = " + missing,
                                                          "File write error  File Name = " + folder}));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"folder.m53"});
}

// File size limits and symbolic links of ordinary users are POSIX matters.
#ifndef _WIN32
TEST_F(DataFile, WriteFailingHalfwayKeepsTheOldFile)
{
    const std::string path = Path("old.m53");
    std::vector<Byte> old(17927);
    for (size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<Byte>(i);
    WriteBytes(path, old);

    // A file size limit makes the write of the new image fail after its first bytes.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteDataFile(path, *m_mem, *m_image);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(m_prompt.texts(), std::vector<std::string>{"File write error  File Name = " + path});
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"old.m53"});
    // The image was brought up to date from the records all the same.
    EXPECT_EQ((*m_image)[6 + 32 * 4], 0xA5);
}

TEST_F(DataFile, WritingThroughALinkKeepsTheLink)
{
    const std::string real = Path("real.m53");
    const std::string link = Path("link.m53");
    WriteBytes(real, std::vector<Byte>(10, 1));
    fs::create_symlink(real, link);
    ASSERT_TRUE(WriteDataFile(link, *m_mem, *m_image));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real).size(), 17927u);
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"link.m53", "real.m53"}));
}
#endif

// What every data file holds: the model id, both image markers and exactly 17927 bytes; the
// first thing that differs is named.
TEST_F(DataFile, WhatDoesNotLookLikeADataFile)
{
    TText image = mv53::test::EncodedImage(*m_mem, false);
    EXPECT_EQ(DataFileDeviation(image, 17927), "");
    // A longer file, as the reader sees it.
    std::vector<Byte> longer(image.Data(), image.Data() + image.Size());
    longer.push_back(0);
    WriteBytes(Path("long.m53"), longer);
    std::string asked;
    EXPECT_TRUE(ReadDataFile(Path("long.m53"), *m_mem, *m_image, [&](const std::string& d) { asked = d; return true; }));
    EXPECT_EQ(asked, "it is 17928 bytes long, a data file 17927");
    for (const auto& [offset, deviation] : {std::pair{5, "it does not begin with the model id \"kt468h\""},
                                            {16389, "the image marker 0xA569 is missing at offset 16388"},
                                            {17924, "the image marker 0xA569 is missing at offset 17924"}}) {
        TText changed = image;
        changed[offset] ^= 1;
        EXPECT_EQ(DataFileDeviation(changed, 17927), deviation);
    }
}
