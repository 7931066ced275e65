// TMemIniFile: an ini file held in memory. The constructor reads the whole
// file (a missing file gives an empty one) and keeps the encoding its
// byte-order mark announced, the system code page without one; UpdateFile
// writes the whole file back in that encoding (or the forced one), safely.
//
// Section and key names compare without regard to case; sections and keys
// keep their file order, a new key goes at the end of its section and a new
// section at the end of the file. Names and values are trimmed on reading;
// comment lines (";") and lines before the first section are dropped, a line
// without "=" is kept as it is but is no key. A section or key that appears
// twice stays twice in the file, and the first one is the one read and
// written.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui/TextCodec.h"

namespace gui {

class TMemIniFile {
public:
    explicit TMemIniFile(std::wstring fileName);
    // Forced encoding: the file is written in `encoding`. It is read by its
    // byte-order mark when it has one; without one in `encoding`, or in the
    // system code page when `encoding` is UTF-16 (whose files always carry
    // the mark), so an old file in another encoding is converted, not garbled.
    TMemIniFile(std::wstring fileName, TTextEncoding encoding);

    const std::wstring& FileName() const noexcept { return fileName_; }
    TTextEncoding Encoding() const noexcept { return encoding_; }
    void SetEncoding(TTextEncoding e) noexcept { encoding_ = e; }
    // Whether the file existed and carried a byte-order mark when read.
    bool HadBom() const noexcept { return hadBom_; }
    // Whether the file existed and was read.
    bool Loaded() const noexcept { return loaded_; }
    // Whether the file existed but could not be read.
    bool Unreadable() const noexcept { return unreadable_; }

    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& def) const;
    // Decimal or hexadecimal ("$1F", "0x1F") integer; `def` when missing or not a number.
    int ReadInteger(const std::wstring& section, const std::wstring& key, int def) const;
    // Read as an integer, non-zero is true; `def` when missing or not a number.
    bool ReadBool(const std::wstring& section, const std::wstring& key, bool def) const;

    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    void WriteInteger(const std::wstring& section, const std::wstring& key, int value);
    void WriteBool(const std::wstring& section, const std::wstring& key, bool value);  // "1" / "0"

    bool SectionExists(const std::wstring& section) const;
    bool ValueExists(const std::wstring& section, const std::wstring& key) const;
    // Every section name in file order (a repeated one as often as it appears).
    std::vector<std::wstring> ReadSections() const;
    // The key names of the section, in file order.
    std::vector<std::wstring> ReadSection(const std::wstring& section) const;
    // Every n, in increasing order and once, for which the section holds the
    // key `prefix` + n (n in plain decimal, as lists write it). A list whose
    // empty items mean nothing reads these, never a range a count claims.
    std::vector<int> KeyIndexes(const std::wstring& section, const std::wstring& prefix = L"") const;
    // The highest n for which the file holds a section `prefix` + n (n as
    // above); -1 when it holds none. A list of rows read by index stops
    // there, whatever count the file claims, and a missing row inside reads
    // empty. An n the file could not hold a whole list up to (n not below
    // its number of sections) ends no list, so one stray section cannot make
    // a loop of billions.
    int HighestSectionIndex(const std::wstring& prefix) const;
    // Removes the section, every copy of it.
    void EraseSection(const std::wstring& section);
    // Removes the key (every copy of it) from the section that is read.
    void DeleteKey(const std::wstring& section, const std::wstring& key);
    void Clear();

    // The whole file as text, as UpdateFile writes it.
    std::wstring Text() const;
    void SetText(const std::wstring& text);

    // Writes the whole file; false (file untouched) when it cannot be written.
    // A file that existed but could not be read is never written over, as
    // that would lose everything in it that this object never saw.
    bool UpdateFile() const;

private:
    struct Line {
        std::wstring name;  // the key, or the whole line when it has no "="
        std::wstring value;
        bool isKey = true;
    };
    struct Section {
        std::wstring name;
        std::vector<Line> lines;
    };
    Section* FindSection(const std::wstring& name);
    const Section* FindSection(const std::wstring& name) const;
    const Line* FindKey(const std::wstring& section, const std::wstring& key) const;
    void Load(const TTextEncoding* forced);

    std::wstring fileName_;
    TTextEncoding encoding_ = TTextEncoding::Ansi;
    bool hadBom_ = false;
    bool loaded_ = false;
    bool unreadable_ = false;
    std::vector<Section> sections_;
};

// A window's bounds as a settings file holds them: "Top" and "Left", with
// "Height" and "Width" as far as the file keeps them.
struct TBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};
enum class TBoundsKeys { Position, PositionAndWidth, All };
TBounds BoundsOf(const RECT& r);

// The bounds the section holds; a key it lacks, or keeps not at all, keeps
// the value of `bounds`.
TBounds ReadBounds(const TMemIniFile& ini, const std::wstring& section, TBounds bounds,
                   TBoundsKeys keys = TBoundsKeys::All);
// Writes the keys the file keeps in the order "Top", "Left", "Height", "Width".
void WriteBounds(TMemIniFile& ini, const std::wstring& section, const TBounds& bounds,
                 TBoundsKeys keys = TBoundsKeys::All);

}  // namespace gui
