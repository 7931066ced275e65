// TStringList: an ordered list of strings, each with an object slot (a
// pointer the list does not own). Index-of compares without regard to case
// unless CaseSensitive is set; Sort orders by the user's locale. Text is the
// list as lines, each ended by CR LF. Files load with byte-order-mark
// detection (the system code page without a mark) or in a given encoding and
// are saved whole and safely in a chosen one.
//
// Every index out of range throws gui::Exception with the message
// "リストのインデックスが範囲を超えています (<index>)": the error handler
// takes that text for a damaged history list.
#pragma once

#include <string>
#include <vector>

#include "gui/TextCodec.h"

namespace gui {

class TStringList {
public:
    TStringList() = default;

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    bool Empty() const noexcept { return items_.empty(); }

    const std::wstring& Get(int index) const;
    const std::wstring& operator[](int index) const { return Get(index); }
    void Put(int index, const std::wstring& s);
    void* Objects(int index) const;
    void PutObject(int index, void* object);

    int Add(const std::wstring& s);  // returns the new item's index
    int AddObject(const std::wstring& s, void* object);
    void AddStrings(const TStringList& other);
    void Insert(int index, const std::wstring& s);  // 0 <= index <= Count
    void InsertObject(int index, const std::wstring& s, void* object);
    void Delete(int index);
    void Clear() noexcept { items_.clear(); }
    // Takes the item (with its object) out of curIndex and puts it at newIndex.
    void Move(int curIndex, int newIndex);
    void Exchange(int index1, int index2);

    bool CaseSensitive() const noexcept { return caseSensitive_; }
    void SetCaseSensitive(bool value) noexcept { caseSensitive_ = value; }
    // The first item equal to s, or -1.
    int IndexOf(const std::wstring& s) const;
    int IndexOfObject(const void* object) const;
    // Orders the items (objects travel with them); equal items keep their order.
    void Sort();

    // Every item followed by CR LF; setting splits at CR LF, lone CR and lone LF.
    std::wstring Text() const;
    void SetText(const std::wstring& text);

    // The encoding of the last load (Ansi before any).
    TTextEncoding Encoding() const noexcept { return encoding_; }
    // Replace the items by the lines of the file: its byte-order mark decides
    // the encoding, the system code page without one. Throws gui::Exception
    // when the file cannot be read; the list is then unchanged.
    void LoadFromFile(const std::wstring& fileName);
    // The same in the given encoding; a mark of that encoding is skipped.
    void LoadFromFile(const std::wstring& fileName, TTextEncoding encoding);
    // Writes the lines in the encoding (with its mark), whole and safely.
    // Throws gui::Exception when it cannot; the old file then stays as it was.
    void SaveToFile(const std::wstring& fileName, TTextEncoding encoding) const;

    // Replace the items by the lines of the bytes, as the loads above.
    void SetTextBytes(std::string_view bytes);
    void SetTextBytes(std::string_view bytes, TTextEncoding encoding);
    std::string TextBytes(TTextEncoding encoding) const { return EncodeText(Text(), encoding); }

    bool operator==(const TStringList& other) const;  // items, not objects

private:
    struct Item {
        std::wstring text;
        void* object = nullptr;
    };
    void Check(int index, int count) const;
    int Compare(const std::wstring& a, const std::wstring& b) const;

    std::vector<Item> items_;
    bool caseSensitive_ = false;
    TTextEncoding encoding_ = TTextEncoding::Ansi;
};

// Throws the list index error for `index`.
[[noreturn]] void ThrowListIndexError(int index);

}  // namespace gui
