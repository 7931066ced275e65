#include <gtest/gtest.h>

#include "gui/Exception.h"
#include "gui/Handles.h"
#include "gui/IniFile.h"
#include "tests/support/TestSupport.h"

using gui::TMemIniFile;
using gui::TTextEncoding;
using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WriteBytes;

namespace {

std::string Utf8Of(const std::wstring& s) { return gui::WideToUtf8(s); }

// The file as text, decoded by its mark.
std::wstring FileText(const std::wstring& path) { return gui::DecodeTextAuto(ReadBytes(path)); }

TEST(MemIniFile, NewKeysJoinTheirSectionNewSectionsGoLast) {
    ScratchDir dir;
    std::wstring file = dir / L"Config.ini";
    ASSERT_TRUE(WriteBytes(file, "[Tray]\r\nTrashTop=1\r\n\r\n[CPU]\r\nStop=0\r\n"));
    {
        TMemIniFile ini(file);
        ini.WriteBool(L"CPU", L"Disp", true);
        ini.WriteInteger(L"tray", L"IME", 3);  // case of the section name does not matter
        ini.WriteBool(L"RAM", L"Stop", false);
        ini.WriteString(L"Tray", L"TRASHTOP", L"0");  // an existing key keeps its place
        ASSERT_TRUE(ini.UpdateFile());
    }
    EXPECT_EQ(FileText(file),
              L"[Tray]\r\nTRASHTOP=0\r\nIME=3\r\n\r\n"
              L"[CPU]\r\nStop=0\r\nDisp=1\r\n\r\n"
              L"[RAM]\r\nStop=0\r\n\r\n");
    TMemIniFile again(file);
    EXPECT_EQ(again.ReadSections(), (std::vector<std::wstring>{L"Tray", L"CPU", L"RAM"}));
    EXPECT_EQ(again.ReadSection(L"TRAY"), (std::vector<std::wstring>{L"TRASHTOP", L"IME"}));
    EXPECT_EQ(again.ReadInteger(L"Tray", L"ime", -1), 3);
}

// A window's bounds: each kind of file keeps its own keys, in one order,
// and a key the file lacks keeps the value the window has.
TEST(MemIniFile, BoundsKeysAsTheFileKeepsThem) {
    ScratchDir dir;
    const gui::TBounds now{10, 20, 300, 400};
    const struct {
        gui::TBoundsKeys keys;
        std::wstring written;
        gui::TBounds readBack;  // from "[W] Top=1 Left=2 Height=3 Width=4"
    } cases[] = {
        {gui::TBoundsKeys::Position, L"[W]\r\nTop=20\r\nLeft=10\r\n\r\n", {2, 1, 300, 400}},
        {gui::TBoundsKeys::PositionAndWidth, L"[W]\r\nTop=20\r\nLeft=10\r\nWidth=300\r\n\r\n", {2, 1, 4, 400}},
        {gui::TBoundsKeys::All, L"[W]\r\nTop=20\r\nLeft=10\r\nHeight=400\r\nWidth=300\r\n\r\n", {2, 1, 4, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.keys));
        const std::wstring file = dir / (L"b" + std::to_wstring(static_cast<int>(c.keys)) + L".ini");
        {
            TMemIniFile ini(file);
            gui::WriteBounds(ini, L"W", now, c.keys);
            ASSERT_TRUE(ini.UpdateFile());
        }
        EXPECT_EQ(FileText(file), c.written);
        ASSERT_TRUE(WriteBytes(file, "[W]\r\nTop=1\r\nLeft=2\r\nHeight=3\r\nWidth=4\r\n"));
        const gui::TBounds b = gui::ReadBounds(TMemIniFile(file), L"W", now, c.keys);
        EXPECT_EQ(b.Left, c.readBack.Left);
        EXPECT_EQ(b.Top, c.readBack.Top);
        EXPECT_EQ(b.Width, c.readBack.Width);
        EXPECT_EQ(b.Height, c.readBack.Height);
    }
    // Keys the file lacks keep the window's values.
    ASSERT_TRUE(WriteBytes(dir / L"part.ini", "[W]\r\nLeft=7\r\n"));
    const gui::TBounds part = gui::ReadBounds(TMemIniFile(dir / L"part.ini"), L"W", now);
    EXPECT_EQ(part.Left, 7);
    EXPECT_EQ(part.Top, 20);
    EXPECT_EQ(part.Width, 300);
    EXPECT_EQ(part.Height, 400);
}

TEST(MemIniFile, IntegersAndBooleans) {
    ScratchDir dir;
    std::wstring file = dir / L"v.ini";
    ASSERT_TRUE(WriteBytes(file,
                           "[V]\r\ndec=42\r\nneg=-7\r\nhex=$1F\r\nhex0x=0x10\r\nall=$FFFFFFFF\r\n"
                           "bad=12a\r\nempty=\r\nbig=2147483648\r\nmin=-2147483648\r\n"
                           "two=2\r\nzero=0\r\nyes=True\r\n"));
    TMemIniFile ini(file);
    struct {
        const wchar_t* key;
        int value;  // read with default -99
    } ints[] = {
        {L"dec", 42}, {L"neg", -7}, {L"hex", 31}, {L"hex0x", 16}, {L"all", -1}, {L"bad", -99},
        {L"empty", -99}, {L"big", -99}, {L"min", -2147483647 - 1}, {L"missing", -99},
    };
    for (const auto& c : ints) EXPECT_EQ(ini.ReadInteger(L"V", c.key, -99), c.value) << Utf8Of(c.key);

    EXPECT_TRUE(ini.ReadBool(L"V", L"two", false)) << "any non-zero integer is true";
    EXPECT_FALSE(ini.ReadBool(L"V", L"zero", true));
    EXPECT_TRUE(ini.ReadBool(L"V", L"yes", true)) << "no number: the default";
    EXPECT_FALSE(ini.ReadBool(L"V", L"yes", false));
    EXPECT_TRUE(ini.ReadBool(L"V", L"missing", true));

    ini.WriteBool(L"V", L"b1", true);
    ini.WriteBool(L"V", L"b0", false);
    ini.WriteInteger(L"V", L"i", -2147483647 - 1);
    EXPECT_EQ(ini.ReadString(L"V", L"b1", L""), L"1");
    EXPECT_EQ(ini.ReadString(L"V", L"b0", L""), L"0");
    EXPECT_EQ(ini.ReadString(L"V", L"i", L""), L"-2147483648");
}

TEST(MemIniFile, DuplicatesOddLinesAndWhitespace) {
    ScratchDir dir;
    std::wstring file = dir / L"odd.ini";
    ASSERT_TRUE(WriteBytes(file,
                           "orphan=before any section\r\n"
                           "; a comment\r\n"
                           "  [ Folder ]  \r\n"
                           "  Count = 1 \r\n"
                           "0=C:\\first\r\n"
                           "0=C:\\second\r\n"
                           "no equals sign\r\n"
                           "\r\n"
                           "[Other]\r\n"
                           "k=v=w\r\n"
                           "[folder]\r\n"
                           "Count=5\r\n"
                           "extra=only here\r\n"));
    TMemIniFile ini(file);
    EXPECT_EQ(ini.ReadString(L"Folder", L"Count", L""), L"1") << "names and values are trimmed";
    EXPECT_EQ(ini.ReadString(L"Folder", L"0", L""), L"C:\\first") << "first key wins";
    EXPECT_EQ(ini.ReadInteger(L"FOLDER", L"Count", -1), 1) << "first section wins";
    EXPECT_EQ(ini.ReadString(L"Folder", L"extra", L"none"), L"none");
    EXPECT_EQ(ini.ReadString(L"Other", L"k", L""), L"v=w");
    EXPECT_FALSE(ini.ValueExists(L"Folder", L"no equals sign"));
    EXPECT_EQ(ini.ReadSection(L"Folder"), (std::vector<std::wstring>{L"Count", L"0", L"0"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::wstring>{L"Folder", L"Other", L"folder"}));

    ini.WriteString(L"Folder", L"0", L"C:\\new");  // the first copy is written
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(FileText(file),
              L"[Folder]\r\nCount=1\r\n0=C:\\new\r\n0=C:\\second\r\nno equals sign\r\n\r\n"
              L"[Other]\r\nk=v=w\r\n\r\n"
              L"[folder]\r\nCount=5\r\nextra=only here\r\n\r\n");

    // Rewriting what was written changes nothing more.
    TMemIniFile again(file);
    EXPECT_EQ(again.Text(), ini.Text());
}

TEST(MemIniFile, IndexesPresentAmongKeysAndSections) {
    ScratchDir dir;
    const std::wstring file = dir / L"list.ini";
    // The file holds 7 sections: a section index at or above that cannot
    // end a whole list of rows.
    ASSERT_TRUE(WriteBytes(file, "[Drive]\r\nCount=2147483647\r\n0=a\r\n7=b\r\n12x=c\r\n-20=d\r\n"
                                 "9=far\r\n2147483646=stray\r\nx=1\r\ny=2\r\n"
                                 "[Drive3]\r\n0=x\r\n[drive5]\r\n[Drive011]\r\n[Drive99999999999]\r\n"
                                 "[Drive2147483646]\r\n0=stray\r\n"
                                 "[Other]\r\nOption2=x\r\noption5=y\r\nOption+9=z\r\nOption=w\r\n"
                                 "Option6=stray\r\nk=v\r\n"));
    TMemIniFile ini(file);
    const struct {
        const wchar_t* section;
        const wchar_t* prefix;
        std::vector<int> indexes;
    } keys[] = {{L"Drive", L"", {0, 7, 9, 2147483646}},
                {L"Other", L"Option", {2, 5, 6}},
                {L"Other", L"", {}},
                {L"Missing", L"", {}}};
    for (const auto& c : keys)
        EXPECT_EQ(ini.KeyIndexes(c.section, c.prefix), c.indexes) << c.section << " " << c.prefix;
    EXPECT_EQ(ini.HighestSectionIndex(L"Drive"), 5) << "a leading zero, a number past int or past the file is no index";
    EXPECT_EQ(ini.HighestSectionIndex(L"Button"), -1);
}

TEST(MemIniFile, EraseSectionAndDeleteKey) {
    TMemIniFile ini(L"Z:\\nonexistent-orvandel\\none.ini");
    EXPECT_FALSE(ini.Loaded());
    ini.SetText(L"[A]\r\nx=1\r\ny=2\r\nx=3\r\n[B]\r\nz=1\r\n[a]\r\nx=4\r\n");
    ini.DeleteKey(L"a", L"X");
    EXPECT_FALSE(ini.ValueExists(L"A", L"x")) << "no copy of the key is left to read";
    EXPECT_EQ(ini.ReadSection(L"A"), (std::vector<std::wstring>{L"y"}));
    ini.DeleteKey(L"A", L"missing");
    ini.DeleteKey(L"Missing", L"x");
    ini.EraseSection(L"A");
    EXPECT_FALSE(ini.SectionExists(L"a")) << "every copy of the section goes";
    EXPECT_EQ(ini.Text(), L"[B]\r\nz=1\r\n\r\n");
    ini.EraseSection(L"B");
    EXPECT_EQ(ini.Text(), L"");
    ini.WriteString(L"C", L"k", L"v");
    ini.Clear();
    EXPECT_FALSE(ini.SectionExists(L"C"));
}

TEST(MemIniFile, KeepsTheEncodingOfTheMark) {
    const std::wstring text = L"[日本語]\r\nキー=値\r\n\r\n";
    ScratchDir dir;
    for (int k = 0; k <= 3; ++k) {
        SCOPED_TRACE(k);
        auto enc = static_cast<TTextEncoding>(k);
        std::wstring file = dir / L"e.ini";
        ASSERT_TRUE(WriteBytes(file, gui::EncodeText(text, enc)));
        TMemIniFile ini(file);
        EXPECT_EQ(ini.Encoding(), enc);
        EXPECT_EQ(ini.HadBom(), k != 0);
        EXPECT_EQ(ini.ReadString(L"日本語", L"キー", L""), L"値");
        ini.WriteString(L"日本語", L"追加", L"あ");
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_EQ(ReadBytes(file), gui::EncodeText(L"[日本語]\r\nキー=値\r\n追加=あ\r\n\r\n", enc));
    }
    TMemIniFile missing(dir / L"new.ini");
    EXPECT_EQ(missing.Encoding(), TTextEncoding::Ansi) << "a new file is in the system code page";
}

TEST(MemIniFile, ForcedEncodingConvertsInsteadOfGarbling) {
    ScratchDir dir;
    std::wstring file = dir / L"His.ini";
    // An old file in the system code page, opened to be saved as UTF-16.
    ASSERT_TRUE(WriteBytes(file, "[Window]\r\nDir=C:\\\x83\x66\x81\x5B\x83\x5E\\\r\n"));  // デ ー タ
    {
        TMemIniFile ini(file, TTextEncoding::Utf16LE);
        EXPECT_EQ(ini.ReadString(L"Window", L"Dir", L""), L"C:\\データ\\");
        ini.WriteInteger(L"Window", L"Top", 10);
        ASSERT_TRUE(ini.UpdateFile());
    }
    EXPECT_EQ(ReadBytes(file), gui::EncodeText(L"[Window]\r\nDir=C:\\データ\\\r\nTop=10\r\n\r\n",
                                               TTextEncoding::Utf16LE));
    {
        // A marked file is read by its mark, written in the forced encoding.
        TMemIniFile ini(file, TTextEncoding::Ansi);
        EXPECT_EQ(ini.ReadString(L"Window", L"Dir", L""), L"C:\\データ\\");
        ASSERT_TRUE(ini.UpdateFile());
    }
    EXPECT_EQ(ReadBytes(file), "[Window]\r\nDir=C:\\\x83\x66\x81\x5B\x83\x5E\\\r\nTop=10\r\n\r\n");

    ASSERT_TRUE(WriteBytes(file, "[A]\r\nk=\xE5\x80\xA4\r\n"));  // UTF-8 without a mark
    TMemIniFile utf8(file, TTextEncoding::Utf8NoBom);
    EXPECT_EQ(utf8.ReadString(L"A", L"k", L""), L"値");
    EXPECT_EQ(utf8.Encoding(), TTextEncoding::Utf8NoBom);
}

TEST(MemIniFile, UnreadableOrUnwritableFilesStayWhole) {
    ScratchDir dir;
    std::wstring file = dir / L"held.ini";
    ASSERT_TRUE(WriteBytes(file, "[ExeCmd]\r\nkeep=this\r\n"));
    const std::string before = ReadBytes(file);
    {
        gui::FileHandle exclusive(::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(exclusive);
        TMemIniFile ini(file);
        EXPECT_FALSE(ini.Loaded());
        ini.WriteString(L"Window", L"Top", L"1");
        exclusive.reset();
        EXPECT_FALSE(ini.UpdateFile()) << "what it never read must not be written over";
    }
    EXPECT_EQ(ReadBytes(file), before);

    TMemIniFile ini(file);
    ini.WriteString(L"Window", L"Top", L"1");
    {
        gui::FileHandle reader(::CreateFileW(file.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(reader);
        EXPECT_FALSE(ini.UpdateFile());
    }
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_TRUE(ini.UpdateFile());
    EXPECT_EQ(TMemIniFile(file).ReadString(L"ExeCmd", L"keep", L""), L"this");
}

}  // namespace
