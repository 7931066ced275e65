// TMemIniFile: an ini file held in memory. The constructor reads the whole
// file (a missing file gives an empty one) and remembers the encoding its
// byte-order mark announced; UpdateFile writes the whole file back in that
// encoding (or the one set), safely. Section and key names compare without
// regard to case; sections and keys keep their order, new ones go last.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "gui/TextCodec.h"

namespace gui {

class TStringList;

class TMemIniFile {
public:
    explicit TMemIniFile(std::wstring fileName);
    TMemIniFile(std::wstring fileName, TTextEncoding encoding);  // read, then write in `encoding`

    const std::wstring& FileName() const noexcept { return fileName_; }
    TTextEncoding Encoding() const noexcept { return encoding_; }
    void SetEncoding(TTextEncoding e) noexcept { encoding_ = e; }
    // Whether the file existed and carried a byte-order mark when read.
    bool HadBom() const noexcept { return hadBom_; }
    bool Loaded() const noexcept { return loaded_; }

    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& def) const;
    // Decimal or hexadecimal ("$1F", "0x1F") integer; `def` when missing or not a number.
    int ReadInteger(const std::wstring& section, const std::wstring& key, int def) const;
    // Read as an integer, non-zero is true.
    bool ReadBool(const std::wstring& section, const std::wstring& key, bool def) const;

    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    void WriteInteger(const std::wstring& section, const std::wstring& key, int value);
    void WriteBool(const std::wstring& section, const std::wstring& key, bool value);  // "1" / "0"

    bool SectionExists(const std::wstring& section) const;
    bool ValueExists(const std::wstring& section, const std::wstring& key) const;
    std::vector<std::wstring> ReadSections() const;
    std::vector<std::wstring> ReadSection(const std::wstring& section) const;  // key names
    void EraseSection(const std::wstring& section);
    void DeleteKey(const std::wstring& section, const std::wstring& key);
    void Clear();

    // The whole file as text, as UpdateFile writes it.
    std::wstring Text() const;
    void SetText(const std::wstring& text);

    // Writes the whole file; false (file untouched) when it cannot be written.
    bool UpdateFile() const;

private:
    struct Section {
        std::wstring name;
        std::vector<std::pair<std::wstring, std::wstring>> values;
    };
    const Section* FindSection(const std::wstring& name) const;
    Section& AddSection(const std::wstring& name);
    void Load();

    std::wstring fileName_;
    TTextEncoding encoding_ = TTextEncoding::Ansi;
    bool hadBom_ = false;
    bool loaded_ = false;
    std::vector<Section> sections_;
};

}  // namespace gui
