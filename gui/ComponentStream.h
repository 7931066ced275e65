// The binary component stream: the "TPF0" signature, then an object (class
// name, object name, properties, child objects), every property a dotted
// name and one typed value, numbers little-endian. TWriter writes the parts
// of it, TReader reads and skips them, and the two list-box routines store
// and load the items of a list box object, as the clipboard lists are kept.
//
// Reading takes every value type of the format and skips properties and
// child objects it does not use. A stream that is cut short, claims lengths
// beyond its end, nests deeper than kMaxDepth or holds an unknown value type
// throws gui::Exception; nothing is taken from it then.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gui/StringList.h"
#include "gui/Streams.h"

namespace gui {

enum class TValueType : uint8_t {
    Null = 0,  // also the end of a list of values, properties or objects
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,  // length byte, single-byte characters
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12,  // 4-byte length, single-byte characters
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,  // 4-byte count of UTF-16 units
    Int64 = 19,
    Utf8String = 20,
    Double = 21,
};

class TWriter {
public:
    explicit TWriter(TStream& stream) : s_(stream) {}

    void WriteSignature();
    // A name: one length byte and its bytes (class, object and property
    // names, identifiers); gui::Exception above 255 bytes.
    void WriteStr(std::string_view name);
    void WriteValue(TValueType type);
    // The zero byte that ends a list of values, properties or objects.
    void WriteListEnd() { WriteValue(TValueType::Null); }
    void WriteListBegin() { WriteValue(TValueType::List); }
    // The shortest of the string forms; UTF-16 for text that UTF-8 cannot
    // hold unchanged (an unpaired surrogate).
    void WriteString(std::wstring_view s);
    // The smallest integer form that holds the value.
    void WriteInteger(int64_t v);
    void WriteBoolean(bool v) { WriteValue(v ? TValueType::True : TValueType::False); }
    void WriteIdent(std::string_view ident);

private:
    void Put(const void* p, size_t n) { s_.WriteBuffer(p, n); }
    void PutU32(uint32_t v);
    TStream& s_;
};

class TReader {
public:
    static constexpr int kMaxDepth = 64;

    explicit TReader(TStream& stream) : s_(stream) {}

    void ReadSignature();  // gui::Exception unless the stream starts with "TPF0"
    std::string ReadStr();
    TValueType ReadValue();
    TValueType NextValue();  // without moving on
    // Whether the next byte is the zero that ends a list; any byte may come
    // next here (a name's length, an object's flags), so it is not checked.
    bool EndOfList();
    void ReadListEnd();  // the zero byte, or gui::Exception
    // The filer flags before an object, when it has them (0 otherwise).
    int ReadPrefix();

    // A value of any string type.
    std::wstring ReadString();
    // A value of any integer type.
    int64_t ReadInteger();
    // Skips one value of any type, nested ones included.
    void SkipValue();
    // Skips one property (name and value).
    void SkipProperty();
    // Skips the rest of an object after its names: properties, then children.
    void SkipObjectBody();
    // Skips a whole object: prefix, names, properties, children.
    void SkipObject();

private:
    uint8_t Byte();
    uint32_t U32();
    void Skip(uint64_t n);
    // Room for n more bytes, or gui::Exception; keeps claimed lengths honest
    // before anything is allocated.
    void Need(uint64_t n);
    void Enter();
    void Leave() { --depth_; }

    TStream& s_;
    int depth_ = 0;
};

// Writes a list box object of class "TListBox" with the items in its
// "Items.Strings" property (only when there are items).
void WriteListBoxComponent(TStream& stream, const std::string& objectName, const TStringList& items);
// Reads a component stream and sets items to its "Items.Strings" (none when
// the object has no such property). gui::Exception when the stream cannot be
// read; items are then as they were.
void ReadListBoxComponent(TStream& stream, TStringList& items);

}  // namespace gui
