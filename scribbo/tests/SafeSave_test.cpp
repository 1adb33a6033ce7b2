#include "scribbo/SafeSave.h"

#include "scribbo/FolderInfo.h"
#include "scribbo/TemplateFile.h"

#include "scribbo_test_support.h"

#include <TestDevice.h>
#include <platform/safefile.h>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

using namespace apptest;

namespace {

class SafeSave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(u"\\Pad", nullptr));
        WriteHost(device.Host("Pad/memo.pad"), oldBytes);
    }
    void TearDown() override { plat::SetSaveTempSuffixForTesting(nullptr); }
    void ExpectOldFileIntact() {
        EXPECT_EQ(ReadHost(device.Host("Pad/memo.pad")), oldBytes);
        EXPECT_EQ(HostNames(device.Host("Pad")), std::vector<std::string>{"memo.pad"});
    }
    TestDevice device;
    Bytes oldBytes = Pattern(3000, 1);
    Bytes newBytes = Pattern(20000, 2);
};

struct FailAfter {
    int calls;
};

// Writes in pieces like a real serialiser and gives up after a number of them.
int WritePieces(FILE* f, void* context) {
    auto* fail = static_cast<FailAfter*>(context);
    for (int i = 0; i < 10; ++i) {
        if (i == fail->calls)
            return 0;
        if (fwrite("0123456789", 1, 10, f) != 10)
            return 0;
    }
    return 1;
}

} // namespace

TEST_F(SafeSave, ReplacesTheOldFileWhole) {
    ASSERT_EQ(SafeWriteBuffer(u"\\Pad\\memo.pad", newBytes.data(), DWORD(newBytes.size())), 1);
    EXPECT_EQ(ReadHost(device.Host("Pad/memo.pad")), newBytes);
    EXPECT_EQ(HostNames(device.Host("Pad")), std::vector<std::string>{"memo.pad"});
    // A new file appears the same way, and empty content is a valid file.
    ASSERT_EQ(SafeWriteBuffer(u"\\Pad\\empty.pad", nullptr, 0), 1);
    EXPECT_TRUE(HostExists(device.Host("Pad/empty.pad")));
    EXPECT_TRUE(ReadHost(device.Host("Pad/empty.pad")).empty());
}

TEST_F(SafeSave, FullDiskAtAnyPointLeavesTheOldFile) {
    // Cut points across the stream buffer boundaries and inside the last piece.
    for (rlim_t cut : {rlim_t(0), rlim_t(1), rlim_t(4095), rlim_t(4096), rlim_t(4097), rlim_t(8192),
                       rlim_t(12000), rlim_t(19999)}) {
        int result;
        {
            FileSizeLimit limit(cut);
            ASSERT_TRUE(limit.Ok());
            result = SafeWriteBuffer(u"\\Pad\\memo.pad", newBytes.data(), DWORD(newBytes.size()));
        }
        EXPECT_EQ(result, 0) << "cut at " << cut;
        ExpectOldFileIntact();
    }
}

TEST_F(SafeSave, WriterFailingAtEachStepLeavesTheOldFile) {
    for (int step = 0; step < 10; ++step) {
        FailAfter fail{step};
        EXPECT_EQ(SafeWriteFile(u"\\Pad\\memo.pad", WritePieces, &fail), 0) << step;
        ExpectOldFileIntact();
    }
    FailAfter never{-1};
    EXPECT_EQ(SafeWriteFile(u"\\Pad\\memo.pad", WritePieces, &never), 1);
    EXPECT_EQ(ReadHost(device.Host("Pad/memo.pad")).size(), 100u);
}

TEST_F(SafeSave, RefusedRenameLeavesTheOldFile) {
    ASSERT_TRUE(SetFileAttributesW(u"\\Pad\\memo.pad", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(SafeWriteBuffer(u"\\Pad\\memo.pad", newBytes.data(), DWORD(newBytes.size())), 0);
    ExpectOldFileIntact();
}

TEST_F(SafeSave, MissingFolderOrPathFails) {
    EXPECT_EQ(SafeWriteBuffer(u"\\Nowhere\\memo.pad", newBytes.data(), 10), 0);
    EXPECT_EQ(SafeWriteBuffer(u"", newBytes.data(), 10), 0);
    EXPECT_EQ(SafeWriteBuffer(nullptr, newBytes.data(), 10), 0);
    EXPECT_EQ(SafeWriteBuffer(u"\\Pad\\memo.pad", nullptr, 10), 0);
    ExpectOldFileIntact();
}

TEST_F(SafeSave, EveryWriterRefusesOrSavesPastAPlantedLink) {
    struct Writer {
        const char* name;
        const char* target; // in \Pad
        std::function<int()> save;
    };
    const Bytes bytes = newBytes;
    const std::vector<Writer> writers = {
        {"buffer", "memo.pad",
         [&] { return SafeWriteBuffer(u"\\Pad\\memo.pad", bytes.data(), DWORD(bytes.size())); }},
        {"template", "paper.pbt",
         [] {
             TemplateHeader h;
             InitTemplateHeader(&h, 0);
             return WriteTemplateFile(u"\\Pad\\paper.pbt", &h, u"");
         }},
        {"folder.info", "folder.info", [] { return WriteFolderInfo(u"\\Pad", FolderInfo()); }},
    };
    WriteHost(device.Host("victim"), oldBytes);
    for (const Writer& w : writers) {
        const std::string temp = device.Host("Pad/.") + w.target + ".~sv-AAAAAA";
        ASSERT_EQ(symlink(device.Host("victim").c_str(), temp.c_str()), 0) << w.name;
        plat::SetSaveTempSuffixForTesting([](int) { return std::string("AAAAAA"); });
        EXPECT_EQ(w.save(), 0) << w.name;
        plat::SetSaveTempSuffixForTesting(
            [](int attempt) { return std::string(attempt ? "BBBBBB" : "AAAAAA"); });
        EXPECT_EQ(w.save(), 1) << w.name;
        EXPECT_TRUE(HostExists(device.Host("Pad/") + w.target)) << w.name;
        EXPECT_EQ(ReadHost(device.Host("victim")), oldBytes) << w.name;
        unlink(temp.c_str());
    }
}

TEST_F(SafeSave, LeftoverOfAKilledSaveGoesAtTheNextSave) {
    WriteHost(device.Host("Pad/.memo.pad.~sv-k1LL3d"), Pattern(100, 3));
    WriteHost(device.Host("Pad/memo.pad.~sv-k1LL3d"), Pattern(100, 4)); // not ours
    ASSERT_EQ(SafeWriteBuffer(u"\\Pad\\memo.pad", newBytes.data(), DWORD(newBytes.size())), 1);
    EXPECT_EQ(HostNames(device.Host("Pad")),
              (std::vector<std::string>{"memo.pad", "memo.pad.~sv-k1LL3d"}));
}
