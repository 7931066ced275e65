#include "gui/ComponentStream.h"

#include "gui/Exception.h"
#include "gui/TextCodec.h"

namespace gui {

namespace {

[[noreturn]] void ThrowFormatError() { throw Exception(L"ストリームの形式が正しくありません"); }

bool HasUnpairedSurrogate(std::wstring_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        wchar_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ++i;
            else return true;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

const char kSignature[4] = {'T', 'P', 'F', '0'};
const char kItemsProperty[] = "Items.Strings";

}  // namespace

void TWriter::PutU32(uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    Put(b, 4);
}

void TWriter::WriteSignature() { Put(kSignature, 4); }

void TWriter::WriteStr(std::string_view name) {
    if (name.size() > 255) throw Exception(L"名前が長すぎます");
    uint8_t len = static_cast<uint8_t>(name.size());
    Put(&len, 1);
    Put(name.data(), name.size());
}

void TWriter::WriteValue(TValueType type) {
    uint8_t b = static_cast<uint8_t>(type);
    Put(&b, 1);
}

void TWriter::WriteIdent(std::string_view ident) {
    WriteValue(TValueType::Ident);
    WriteStr(ident);
}

void TWriter::WriteString(std::wstring_view s) {
    const std::string utf8 = WideToUtf8(s);
    if (utf8.size() < s.size() * 2 && !HasUnpairedSurrogate(s)) {
        if (utf8.size() == s.size()) {  // pure ASCII
            if (utf8.size() <= 255) {
                WriteValue(TValueType::String);
                uint8_t len = static_cast<uint8_t>(utf8.size());
                Put(&len, 1);
            } else {
                WriteValue(TValueType::LString);
                PutU32(static_cast<uint32_t>(utf8.size()));
            }
        } else {
            WriteValue(TValueType::Utf8String);
            PutU32(static_cast<uint32_t>(utf8.size()));
        }
        Put(utf8.data(), utf8.size());
        return;
    }
    WriteValue(TValueType::WString);
    PutU32(static_cast<uint32_t>(s.size()));
    std::string units;
    units.reserve(s.size() * 2);
    for (wchar_t c : s) {
        units += static_cast<char>(c & 0xFF);
        units += static_cast<char>((c >> 8) & 0xFF);
    }
    Put(units.data(), units.size());
}

void TWriter::WriteInteger(int64_t v) {
    if (v >= INT8_MIN && v <= INT8_MAX) {
        WriteValue(TValueType::Int8);
        int8_t b = static_cast<int8_t>(v);
        Put(&b, 1);
    } else if (v >= INT16_MIN && v <= INT16_MAX) {
        WriteValue(TValueType::Int16);
        uint16_t u = static_cast<uint16_t>(v);
        uint8_t b[2] = {uint8_t(u), uint8_t(u >> 8)};
        Put(b, 2);
    } else if (v >= INT32_MIN && v <= INT32_MAX) {
        WriteValue(TValueType::Int32);
        PutU32(static_cast<uint32_t>(v));
    } else {
        WriteValue(TValueType::Int64);
        uint64_t u = static_cast<uint64_t>(v);
        PutU32(static_cast<uint32_t>(u));
        PutU32(static_cast<uint32_t>(u >> 32));
    }
}

uint8_t TReader::Byte() {
    uint8_t b;
    s_.ReadBuffer(&b, 1);
    return b;
}

uint32_t TReader::U32() {
    uint8_t b[4];
    s_.ReadBuffer(b, 4);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void TReader::Need(uint64_t n) {
    if (n > static_cast<uint64_t>(s_.Remaining())) throw Exception(L"ストリームの読み込みエラー");
}

void TReader::Skip(uint64_t n) {
    Need(n);
    s_.Seek(static_cast<int64_t>(n), TSeekOrigin::Current);
}

void TReader::Enter() {
    if (++depth_ > kMaxDepth) ThrowFormatError();
}

void TReader::ReadSignature() {
    char sig[4] = {};
    if (s_.Read(sig, 4) != 4 || std::string_view(sig, 4) != std::string_view(kSignature, 4))
        throw Exception(L"ストリームの形式が正しくありません (署名がありません)");
}

std::string TReader::ReadStr() {
    uint8_t len = Byte();
    std::string s(len, '\0');
    s_.ReadBuffer(s.data(), len);
    return s;
}

TValueType TReader::ReadValue() {
    uint8_t b = Byte();
    if (b > static_cast<uint8_t>(TValueType::Double)) ThrowFormatError();
    return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
    TValueType t = ReadValue();
    s_.Seek(-1, TSeekOrigin::Current);
    return t;
}

bool TReader::EndOfList() {
    uint8_t b = Byte();
    s_.Seek(-1, TSeekOrigin::Current);
    return b == 0;
}

void TReader::ReadListEnd() {
    if (ReadValue() != TValueType::Null) ThrowFormatError();
}

int TReader::ReadPrefix() {
    uint8_t b = Byte();
    if ((b & 0xF0) != 0xF0) {
        s_.Seek(-1, TSeekOrigin::Current);
        return 0;
    }
    int flags = b & 0x0F;
    if (flags & 2) ReadInteger();  // the child's position among its siblings
    return flags;
}

std::wstring TReader::ReadString() {
    switch (ReadValue()) {
        case TValueType::String: {
            uint8_t len = Byte();
            std::string b(len, '\0');
            s_.ReadBuffer(b.data(), len);
            // Older writers put text of the system code page here.
            return DecodeText(b, TTextEncoding::Ansi);
        }
        case TValueType::LString: {
            uint32_t len = U32();
            Need(len);
            std::string b(len, '\0');
            s_.ReadBuffer(b.data(), len);
            return DecodeText(b, TTextEncoding::Ansi);
        }
        case TValueType::WString: {
            uint32_t count = U32();
            Need(uint64_t(count) * 2);
            std::string b(size_t(count) * 2, '\0');
            s_.ReadBuffer(b.data(), b.size());
            return DecodeText(b, TTextEncoding::Utf16LE);
        }
        case TValueType::Utf8String: {
            uint32_t len = U32();
            Need(len);
            std::string b(len, '\0');
            s_.ReadBuffer(b.data(), len);
            return Utf8ToWide(b);
        }
        default:
            ThrowFormatError();
    }
}

int64_t TReader::ReadInteger() {
    uint8_t b[8] = {};
    switch (ReadValue()) {
        case TValueType::Int8:
            s_.ReadBuffer(b, 1);
            return static_cast<int8_t>(b[0]);
        case TValueType::Int16:
            s_.ReadBuffer(b, 2);
            return static_cast<int16_t>(uint16_t(b[0] | b[1] << 8));
        case TValueType::Int32:
            return static_cast<int32_t>(U32());
        case TValueType::Int64: {
            uint64_t lo = U32();
            uint64_t hi = U32();
            return static_cast<int64_t>(lo | hi << 32);
        }
        default:
            ThrowFormatError();
    }
}

void TReader::SkipValue() {
    Enter();
    switch (ReadValue()) {
        case TValueType::Null:
        case TValueType::False:
        case TValueType::True:
        case TValueType::Nil:
            break;
        case TValueType::List:
            while (!EndOfList()) SkipValue();
            ReadListEnd();
            break;
        case TValueType::Int8: Skip(1); break;
        case TValueType::Int16: Skip(2); break;
        case TValueType::Int32:
        case TValueType::Single: Skip(4); break;
        case TValueType::Int64:
        case TValueType::Currency:
        case TValueType::Date:
        case TValueType::Double: Skip(8); break;
        case TValueType::Extended: Skip(10); break;
        case TValueType::String:
        case TValueType::Ident: Skip(Byte()); break;
        case TValueType::Binary:
        case TValueType::LString:
        case TValueType::Utf8String: Skip(U32()); break;
        case TValueType::WString: Skip(uint64_t(U32()) * 2); break;
        case TValueType::Set:
            for (uint8_t len = Byte(); len != 0; len = Byte()) Skip(len);
            break;
        case TValueType::Collection:
            while (!EndOfList()) {
                TValueType t = NextValue();
                if (t == TValueType::Int8 || t == TValueType::Int16 || t == TValueType::Int32)
                    ReadInteger();  // the item's order value
                if (ReadValue() != TValueType::List) ThrowFormatError();
                Enter();
                while (!EndOfList()) SkipProperty();
                ReadListEnd();
                Leave();
            }
            ReadListEnd();
            break;
    }
    Leave();
}

void TReader::SkipProperty() {
    ReadStr();
    SkipValue();
}

void TReader::SkipObjectBody() {
    while (!EndOfList()) SkipProperty();
    ReadListEnd();
    while (!EndOfList()) SkipObject();
    ReadListEnd();
}

void TReader::SkipObject() {
    Enter();
    ReadPrefix();
    ReadStr();  // class
    ReadStr();  // name
    SkipObjectBody();
    Leave();
}

void WriteListBoxComponent(TStream& stream, const std::string& objectName, const TStringList& items) {
    TWriter w(stream);
    w.WriteSignature();
    w.WriteStr("TListBox");
    w.WriteStr(objectName);
    if (items.Count() > 0) {
        w.WriteStr(kItemsProperty);
        w.WriteListBegin();
        for (int i = 0; i < items.Count(); ++i) w.WriteString(items[i]);
        w.WriteListEnd();
    }
    w.WriteListEnd();  // properties
    w.WriteListEnd();  // child objects
}

void ReadListBoxComponent(TStream& stream, TStringList& items) {
    TReader r(stream);
    r.ReadSignature();
    r.ReadPrefix();
    r.ReadStr();  // the class: the items are read whatever it is called
    r.ReadStr();  // the object's name
    TStringList read;
    while (!r.EndOfList()) {
        if (r.ReadStr() != kItemsProperty) {
            r.SkipValue();
            continue;
        }
        if (r.ReadValue() != TValueType::List) ThrowFormatError();
        read.Clear();  // a repeated property replaces the earlier one
        while (!r.EndOfList()) read.Add(r.ReadString());
        r.ReadListEnd();
    }
    r.ReadListEnd();
    while (!r.EndOfList()) r.SkipObject();
    r.ReadListEnd();
    items = std::move(read);
}

}  // namespace gui
