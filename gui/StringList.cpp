#include "gui/StringList.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "gui/Exception.h"
#include "gui/FileIO.h"

namespace gui {

void ThrowListIndexError(int index) {
    wchar_t text[80];
    ::swprintf(text, 80, L"リストのインデックスが範囲を超えています (%d)", index);
    throw Exception(text);
}

void TStringList::Check(int index, int count) const {
    if (index < 0 || index >= count) ThrowListIndexError(index);
}

const std::wstring& TStringList::Get(int index) const {
    Check(index, Count());
    return items_[index].text;
}

void TStringList::Put(int index, const std::wstring& s) {
    Check(index, Count());
    items_[index].text = s;
}

void* TStringList::Objects(int index) const {
    Check(index, Count());
    return items_[index].object;
}

void TStringList::PutObject(int index, void* object) {
    Check(index, Count());
    items_[index].object = object;
}

int TStringList::Add(const std::wstring& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::wstring& s, void* object) {
    items_.push_back(Item{s, object});
    return Count() - 1;
}

void TStringList::AddStrings(const TStringList& other) {
    if (&other == this) {
        std::vector<Item> copy = items_;
        items_.insert(items_.end(), copy.begin(), copy.end());
        return;
    }
    items_.insert(items_.end(), other.items_.begin(), other.items_.end());
}

void TStringList::Insert(int index, const std::wstring& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::wstring& s, void* object) {
    Check(index, Count() + 1);
    items_.insert(items_.begin() + index, Item{s, object});
}

void TStringList::Delete(int index) {
    Check(index, Count());
    items_.erase(items_.begin() + index);
}

void TStringList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    Check(curIndex, Count());
    Check(newIndex, Count());
    Item item = std::move(items_[curIndex]);
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, std::move(item));
}

void TStringList::Exchange(int index1, int index2) {
    Check(index1, Count());
    Check(index2, Count());
    std::swap(items_[index1], items_[index2]);
}

int TStringList::IndexOf(const std::wstring& s) const {
    for (int i = 0; i < Count(); ++i) {
        const std::wstring& t = items_[i].text;
        if (caseSensitive_) {
            if (t == s) return i;
        } else if (t.size() == s.size() &&
                   (t.empty() || ::CompareStringOrdinal(t.data(), static_cast<int>(t.size()), s.data(),
                                                        static_cast<int>(s.size()),
                                                        TRUE) == CSTR_EQUAL)) {
            return i;
        }
    }
    return -1;
}

int TStringList::IndexOfObject(const void* object) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[i].object == object) return i;
    return -1;
}

int TStringList::Compare(const std::wstring& a, const std::wstring& b) const {
    int r = ::CompareStringW(LOCALE_USER_DEFAULT, caseSensitive_ ? 0 : NORM_IGNORECASE, a.data(),
                             static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
    if (r == CSTR_LESS_THAN) return -1;
    if (r == CSTR_GREATER_THAN) return 1;
    if (r == CSTR_EQUAL) return 0;
    return a.compare(b);  // the locale could not compare them
}

void TStringList::Sort() {
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const Item& a, const Item& b) { return Compare(a.text, b.text) < 0; });
}

std::wstring TStringList::Text() const {
    size_t size = 0;
    for (const Item& i : items_) size += i.text.size() + 2;
    std::wstring out;
    out.reserve(size);
    for (const Item& i : items_) {
        out += i.text;
        out += L"\r\n";
    }
    return out;
}

void TStringList::SetText(const std::wstring& text) {
    std::vector<Item> items;
    for (std::wstring& line : SplitLines(text)) items.push_back(Item{std::move(line), nullptr});
    items_ = std::move(items);
}

void TStringList::SetTextBytes(std::string_view bytes) {
    TTextEncoding enc;
    std::wstring text = DecodeTextAuto(bytes, &enc);
    SetText(text);
    encoding_ = enc;
}

void TStringList::SetTextBytes(std::string_view bytes, TTextEncoding encoding) {
    SetText(DecodeTextAs(bytes, encoding));
    encoding_ = encoding;
}

namespace {

std::string ReadOrThrow(const std::wstring& fileName) {
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes, FILE_SHARE_READ | FILE_SHARE_WRITE))
        throw Exception(L"ファイル " + fileName + L" を開けません");
    return bytes;
}

}  // namespace

void TStringList::LoadFromFile(const std::wstring& fileName) { SetTextBytes(ReadOrThrow(fileName)); }

void TStringList::LoadFromFile(const std::wstring& fileName, TTextEncoding encoding) {
    SetTextBytes(ReadOrThrow(fileName), encoding);
}

void TStringList::SaveToFile(const std::wstring& fileName, TTextEncoding encoding) const {
    if (!WriteWholeFile(fileName, TextBytes(encoding)))
        throw Exception(L"ファイル " + fileName + L" を作成できません");
}

bool TStringList::operator==(const TStringList& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (items_[i].text != other.items_[i].text) return false;
    return true;
}

}  // namespace gui
