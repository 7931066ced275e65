#include <gtest/gtest.h>

#include <thread>

#include "gui/Exception.h"
#include "gui/FileIO.h"
#include "gui/Streams.h"
#include "gui/TextCodec.h"
#include "tests/support/TestSupport.h"

using gui::TFileMode;
using gui::TFileShare;
using gui::TFileStream;
using gui::TMemoryStream;
using gui::TSeekOrigin;
using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WriteBytes;

namespace {

// The names of the files in a folder.
std::vector<std::wstring> FilesIn(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    gui::FindHandle h(::FindFirstFileW((dir + L"*").c_str(), &fd));
    if (!h) return names;
    do {
        std::wstring n = fd.cFileName;
        if (n != L"." && n != L"..") names.push_back(n);
    } while (::FindNextFileW(h.get(), &fd));
    return names;
}

TEST(MemoryStream, ReadWriteSeekAndGrow) {
    TMemoryStream m;
    m.WriteBuffer("hello", 5);
    EXPECT_EQ(m.Position(), 5);
    EXPECT_EQ(m.Size(), 5);
    m.SetPosition(1);
    m.WriteBuffer("EL", 2);  // overwrites in place
    EXPECT_EQ(m.Bytes(), "hELlo");
    m.Seek(2, TSeekOrigin::End);  // past the end: the gap fills with zeros on write
    m.WriteBuffer("!", 1);
    EXPECT_EQ(m.Bytes(), std::string("hELlo\0\0!", 8));
    m.SetPosition(0);
    char buf[4];
    EXPECT_EQ(m.Read(buf, 4), 4u);
    EXPECT_EQ(std::string(buf, 4), "hELl");
    EXPECT_EQ(m.Remaining(), 4);
    m.Seek(-1, TSeekOrigin::End);
    EXPECT_EQ(m.Read(buf, 4), 1u) << "a read stops at the end";
    EXPECT_EQ(m.Read(buf, 4), 0u);
    EXPECT_THROW(m.ReadBuffer(buf, 1), gui::Exception);
    EXPECT_THROW(m.Seek(-1, TSeekOrigin::Begin), gui::Exception);
    m.SetSize(2);
    EXPECT_EQ(m.Bytes(), "hE");
    EXPECT_EQ(m.Position(), 2) << "the position follows a shrink";
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
}

TEST(MemoryStream, FilesAreLoadedAndSavedWhole) {
    ScratchDir dir;
    TMemoryStream m(std::string("\x00\x01\xFF data", 8));
    m.SaveToFile(dir / L"m.bin");
    EXPECT_EQ(ReadBytes(dir / L"m.bin"), m.Bytes());
    TMemoryStream back;
    back.WriteBuffer("old", 3);
    back.LoadFromFile(dir / L"m.bin");
    EXPECT_EQ(back.Bytes(), m.Bytes());
    EXPECT_EQ(back.Position(), 0);
    EXPECT_THROW(back.LoadFromFile(dir / L"missing.bin"), gui::Exception);
    EXPECT_EQ(back.Bytes(), m.Bytes()) << "a failed load keeps the contents";
    EXPECT_THROW(m.SaveToFile(dir / L"no\\folder\\m.bin"), gui::Exception);
}

TEST(FileStream, ModesAndSharing) {
    ScratchDir dir;
    std::wstring file = dir / L"f.bin";
    EXPECT_THROW(TFileStream(file, TFileMode::OpenRead), gui::Exception) << "no such file";
    {
        TFileStream out(file, TFileMode::Create, TFileShare::Exclusive);
        out.WriteBuffer("0123456789", 10);
        EXPECT_THROW(TFileStream(file, TFileMode::OpenRead, TFileShare::DenyNone), gui::Exception)
            << "held exclusively";
    }
    {
        TFileStream in(file, TFileMode::OpenRead);  // denies writers
        EXPECT_EQ(in.Size(), 10);
        char buf[20];
        in.Seek(-3, TSeekOrigin::End);
        EXPECT_EQ(in.Read(buf, 20), 3u);
        EXPECT_EQ(std::string(buf, 3), "789");
        EXPECT_THROW(TFileStream(file, TFileMode::OpenReadWrite, TFileShare::DenyNone), gui::Exception);
        TFileStream reader2(file, TFileMode::OpenRead, TFileShare::DenyWrite);  // readers may share
        EXPECT_EQ(reader2.Size(), 10);
        EXPECT_EQ(in.Write("x", 1), 0u) << "a read-only stream writes nothing";
    }
    {
        TFileStream rw(file, TFileMode::OpenReadWrite);
        rw.SetPosition(2);
        rw.WriteBuffer("AB", 2);
        rw.SetSize(6);
        EXPECT_EQ(rw.Position(), 4);
    }
    EXPECT_EQ(ReadBytes(file), "01AB45");

    TMemoryStream m;
    TFileStream in(file, TFileMode::OpenRead);
    EXPECT_EQ(m.CopyFrom(in, 0), 6);
    EXPECT_EQ(m.Bytes(), "01AB45");
    in.SetPosition(4);
    TMemoryStream part;
    part.CopyFrom(in, 2);
    EXPECT_EQ(part.Bytes(), "45");
    EXPECT_THROW(part.CopyFrom(in, 1), gui::Exception) << "nothing left to copy";
}

TEST(SafeWrite, ReplacesWholeOrLeavesTheOldFile) {
    ScratchDir dir;
    std::wstring file = dir / L"list.lst";
    ASSERT_TRUE(gui::WriteWholeFile(file, "first"));
    ASSERT_TRUE(gui::WriteWholeFile(file, "second, longer"));
    EXPECT_EQ(ReadBytes(file), "second, longer");
    ASSERT_TRUE(gui::WriteWholeFile(file, ""));
    EXPECT_EQ(ReadBytes(file), "");
    ASSERT_TRUE(gui::WriteWholeFile(file, "kept"));
    {
        gui::FileHandle holder(::CreateFileW(file.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_FALSE(gui::WriteWholeFile(file, "lost"));
    }
    EXPECT_EQ(ReadBytes(file), "kept");
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"list.lst"}) << "no temporary file left";

    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(gui::WriteWholeFile(file, "lost"));
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(file), "kept");

    EXPECT_FALSE(gui::WriteWholeFile(dir / L"missing\\x.lst", "x"));
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"list.lst"});
}

TEST(SafeWrite, LeftoversOfInterruptedWritesAreRemovedAndNothingElse) {
    ScratchDir dir;
    struct Case {
        const wchar_t* name;
        bool leftover;
    } cases[] = {
        {L"His.ini.4242.1234567.3.tmp", true},
        {L"His00.lst.1.2.-5.tmp", true},
        {L"notes.tmp", false},
        {L"a.1.2.tmp", false},
        {L"His.ini.x.1.2.tmp", false},
        {L"His.ini", false},
        {L".1.2.3.tmp", false},
    };
    for (const Case& c : cases) ASSERT_TRUE(gui::WriteWholeFile(dir / c.name, "x"));
    gui::RemoveLeftoverWrites(dir.Path());
    for (const Case& c : cases)
        EXPECT_EQ(::GetFileAttributesW((dir / c.name).c_str()) == INVALID_FILE_ATTRIBUTES, c.leftover)
            << gui::WideToUtf8(c.name);
}

TEST(SafeWrite, WaitsOutABriefHold) {
    ScratchDir dir;
    std::wstring file = dir / L"busy.ini";
    ASSERT_TRUE(gui::WriteWholeFile(file, "old"));
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    // A scanner that lets go after 60 ms.
    std::thread release([h] {
        ::Sleep(60);
        ::CloseHandle(h);
    });
    EXPECT_TRUE(gui::WriteWholeFile(file, "new"));
    release.join();
    EXPECT_EQ(ReadBytes(file), "new");
}

TEST(ReadWholeFile, SharingDecidesWhetherAWriterBlocksIt) {
    ScratchDir dir;
    std::wstring file = dir / L"r.txt";
    ASSERT_TRUE(WriteBytes(file, "abc"));
    gui::FileHandle writer(::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    std::string bytes;
    EXPECT_TRUE(gui::ReadWholeFile(file, bytes));
    EXPECT_EQ(bytes, "abc");
    EXPECT_FALSE(gui::ReadWholeFile(file, bytes, FILE_SHARE_READ));
    EXPECT_EQ(bytes, "");
    EXPECT_FALSE(gui::ReadWholeFile(dir / L"missing", bytes));
}

}  // namespace
