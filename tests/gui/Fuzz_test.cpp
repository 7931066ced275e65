// Random-input runs of the readers that take files from disk: the ini
// reader, the list-file reader and the component-stream reader. Each run is
// bounded in time (ORV_FUZZ_MS per reader, 1000 by default) and repeatable
// (ORV_FUZZ_SEED); a failing input is printed in hex.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "gui/ComponentStream.h"
#include "gui/Exception.h"
#include "gui/IniFile.h"
#include "tests/support/TestSupport.h"
#include "toolkit/QuorvinText.h"

using gui::TMemoryStream;
using gui::TStringList;
using gui::TTextEncoding;
using testing_support::ScratchDir;
using testing_support::WriteBytes;

namespace {

unsigned long EnvNumber(const char* name, unsigned long def) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtoul(v, nullptr, 0) : def;
}

std::string Hex(const std::string& b) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < b.size() && i < 1024; ++i) {
        out += digits[static_cast<unsigned char>(b[i]) >> 4];
        out += digits[static_cast<unsigned char>(b[i]) & 15];
    }
    if (b.size() > 1024) out += "...";
    return out;
}

// Produces inputs: mutations of the seeds, now and then plain random bytes.
class Mutator {
public:
    Mutator(std::vector<std::string> seeds, uint32_t seed) : seeds_(std::move(seeds)), rng_(seed) {}

    std::string Next() {
        if (Below(16) == 0) return Random(Below(64));
        std::string s = seeds_[Below(seeds_.size())];
        for (size_t n = 1 + Below(8); n > 0; --n) Mutate(s);
        return s;
    }

private:
    size_t Below(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
    char Byte() {
        static const unsigned char interesting[] = {0x00, 0x01, 0x0A, 0x0D, 0x20, 0x3B, 0x3D, 0x5B, 0x5D,
                                                    0x7F, 0x80, 0xBF, 0xC2, 0xE0, 0xEF, 0xF0, 0xFE, 0xFF};
        return Below(2) ? static_cast<char>(interesting[Below(sizeof(interesting))])
                        : static_cast<char>(Below(256));
    }
    std::string Random(size_t n) {
        std::string s(n, '\0');
        for (char& c : s) c = static_cast<char>(Below(256));
        return s;
    }
    void Mutate(std::string& s) {
        size_t at = Below(s.size() + 1);
        switch (Below(7)) {
            case 0:  // flip a bit
                if (!s.empty()) s[Below(s.size())] ^= static_cast<char>(1 << Below(8));
                break;
            case 1:  // set a byte
                if (!s.empty()) s[Below(s.size())] = Byte();
                break;
            case 2:  // insert bytes
                for (size_t n = 1 + Below(4); n > 0; --n) s.insert(s.begin() + at, Byte());
                break;
            case 3:  // delete a range
                s.erase(at, Below(16));
                break;
            case 4:  // repeat a range
                if (at < s.size()) s.insert(at, s.substr(at, 1 + Below(32)));
                break;
            case 5:  // cut off the end
                s.resize(at);
                break;
            case 6: {  // a 4-byte length that lies
                static const uint32_t values[] = {0, 1, 0x7F, 0xFF, 0x100, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
                uint32_t v = values[Below(8)];
                if (at + 4 <= s.size())
                    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
                break;
            }
        }
    }

    std::vector<std::string> seeds_;
    std::mt19937 rng_;
};

// Runs check on inputs until the time is up; stops at the first failure.
// check returns whether the reader took the input (for the count shown).
template <class Check>
void RunFor(const char* what, std::vector<std::string> seeds, Check check) {
    const uint32_t seed = static_cast<uint32_t>(EnvNumber("ORV_FUZZ_SEED", 0x0A4DE1));
    const auto budget = std::chrono::milliseconds(EnvNumber("ORV_FUZZ_MS", 1000));
    Mutator inputs(std::move(seeds), seed);
    const auto end = std::chrono::steady_clock::now() + budget;
    size_t runs = 0, taken = 0;
    while (std::chrono::steady_clock::now() < end) {
        std::string input = inputs.Next();
        try {
            if (check(input, runs)) ++taken;
        } catch (const std::exception& e) {
            ADD_FAILURE() << what << ": unexpected exception " << e.what() << " on input " << Hex(input);
        }
        ++runs;
        if (testing::Test::HasFailure()) {
            ADD_FAILURE() << what << " failed at run " << runs << " (seed " << seed << ") on input "
                          << Hex(input);
            return;
        }
    }
    std::printf("%s: %zu inputs, %zu taken (seed %u)\n", what, runs, taken, seed);
    EXPECT_GT(runs, 0u);
}

TEST(Fuzz, IniReader) {
    std::vector<std::string> seeds;
    const std::wstring text =
        L"[Window]\r\nTop=10\r\nLeft = -5 \r\n; comment\r\n[History]\r\nList0=100\r\nMenuItem0=1\r\n"
        L"noequals\r\n[Folder]\r\nCount=1\r\n0=C:\\データ\r\n[folder]\r\n0=dup\r\n";
    for (int k = 0; k <= 4; ++k) seeds.push_back(gui::EncodeText(text, static_cast<TTextEncoding>(k)));
    seeds.push_back("[a]\rk=v\n[b]\r\n=\r\n[]\r\n[[x]]\r\n");

    ScratchDir dir;
    const std::wstring file = dir / L"f.ini";
    RunFor("ini reader", seeds, [&](const std::string& input, size_t run) -> bool {
        gui::TMemIniFile ini(dir / L"none.ini");
        ini.SetText(gui::DecodeTextAuto(input));
        const std::wstring once = ini.Text();
        gui::TMemIniFile again(dir / L"none.ini");
        again.SetText(once);
        EXPECT_EQ(again.Text(), once) << "rewriting what was written must change nothing";
        for (const std::wstring& section : ini.ReadSections())
            for (const std::wstring& key : ini.ReadSection(section))
                EXPECT_TRUE(ini.ValueExists(section, key));
        if (run % 16 == 0) {  // now and then through a real file, both ways of opening it
            if (!WriteBytes(file, input)) {
                ADD_FAILURE() << "cannot write the input file";
                return false;
            }
            gui::TMemIniFile fromFile(file);
            EXPECT_EQ(fromFile.Text(), once);
            gui::TMemIniFile forced(file, TTextEncoding::Utf16LE);
            forced.WriteString(L"Fuzz", L"Key", L"値");
            EXPECT_TRUE(forced.UpdateFile());
            EXPECT_EQ(gui::TMemIniFile(file).ReadString(L"Fuzz", L"Key", L""), L"値");
        }
        return !ini.ReadSections().empty();
    });
}

TEST(Fuzz, ListFileReader) {
    std::vector<std::string> seeds;
    const std::wstring text = L"C:\\履歴\\a.txt\r\nline two\r\n\r\n全角ＡＢＣ ｶﾅ\r\n";
    for (int k = 0; k <= 4; ++k) seeds.push_back(gui::EncodeText(text, static_cast<TTextEncoding>(k)));
    seeds.push_back(std::string("a\rb\nc\0d\r\n\xFF\xFE", 12));

    ScratchDir dir;
    const std::wstring file = dir / L"f.lst";
    RunFor("list-file reader", seeds, [&](const std::string& input, size_t run) -> bool {
        for (int k = 0; k <= 4; ++k) {
            auto enc = static_cast<TTextEncoding>(k);
            TStringList l;
            l.SetTextBytes(input, enc);
            for (int i = 0; i < l.Count(); ++i)
                if (l[i].find_first_of(L"\r\n") != std::wstring::npos) {
                    ADD_FAILURE() << "line " << i << " holds a line end, encoding " << k;
                    return false;
                }
            EXPECT_LE(static_cast<size_t>(l.Count()), input.size());
            if (enc != TTextEncoding::Ansi) {  // these encodings hold every decoded text unchanged
                TStringList back;
                back.SetTextBytes(l.TextBytes(enc), enc);
                EXPECT_EQ(back, l) << "encoding " << k;
            }
        }
        if (run % 16 == 0) {
            if (!WriteBytes(file, input)) {
                ADD_FAILURE() << "cannot write the input file";
                return false;
            }
            int kind = -1;
            TTextEncoding enc = DetectTextEncoding(file, kind);
            EXPECT_GE(kind, 0);
            EXPECT_LE(kind, 4);
            TStringList fromFile, inMemory;
            ReadListFile(fromFile, file, enc);
            inMemory.SetTextBytes(input, enc);
            EXPECT_EQ(fromFile, inMemory);
            (void)IsTextFile(file);
        }
        return true;
    });
}

TEST(Fuzz, ComponentStreamReader) {
    std::vector<std::string> seeds;
    auto listBox = [](std::initializer_list<std::wstring> items) {
        TStringList l;
        for (const auto& s : items) l.Add(s);
        TMemoryStream m;
        gui::WriteListBoxComponent(m, "ListBoxClip", l);
        return m.Bytes();
    };
    seeds.push_back(listBox({}));
    seeds.push_back(listBox({L"a", L"日本語", L"aé", L"", std::wstring(300, L'x')}));
    {
        // A list box with other properties and a child, as a full writer stores it.
        TMemoryStream m;
        gui::TWriter w(m);
        w.WriteSignature();
        w.WriteStr("TListBox");
        w.WriteStr("ListBoxClip");
        w.WriteStr("Left");
        w.WriteInteger(-300);
        w.WriteStr("Width");
        w.WriteInteger(100000);
        w.WriteStr("Color");
        w.WriteIdent("clWindow");
        w.WriteStr("Visible");
        w.WriteBoolean(false);
        w.WriteStr("Items.Strings");
        w.WriteListBegin();
        w.WriteString(L"first");
        w.WriteString(L"二番目");
        w.WriteListEnd();
        w.WriteStr("Nested");
        w.WriteListBegin();
        w.WriteListBegin();
        w.WriteInteger(1LL << 40);
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();  // properties
        w.WriteStr("TButton");
        w.WriteStr("Child");
        w.WriteStr("Tag");
        w.WriteInteger(7);
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();  // children
        seeds.push_back(m.Bytes());
    }

    RunFor("component-stream reader", seeds, [&](const std::string& input, size_t) -> bool {
        TMemoryStream m(input);
        TStringList items;
        items.Add(L"sentinel");
        try {
            gui::ReadListBoxComponent(m, items);
        } catch (const gui::Exception&) {
            EXPECT_EQ(items.Count(), 1);
            EXPECT_EQ(items[0], L"sentinel") << "a failed read changed the items";
            return false;
        }
        TMemoryStream again;
        gui::WriteListBoxComponent(again, "ListBoxClip", items);
        again.SetPosition(0);
        TStringList back;
        gui::ReadListBoxComponent(again, back);
        EXPECT_EQ(back, items) << "what was read does not survive writing";
        return true;
    });
}

}  // namespace
