#include "gui/Streams.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "gui/Exception.h"
#include "gui/FileIO.h"

namespace gui {

namespace {

[[noreturn]] void ThrowReadError() { throw Exception(L"ストリームの読み込みエラー"); }
[[noreturn]] void ThrowWriteError() { throw Exception(L"ストリームの書き込みエラー"); }
[[noreturn]] void ThrowSeekError() { throw Exception(L"ストリームの位置が無効です"); }

}  // namespace

int64_t TStream::Size() {
    int64_t pos = Seek(0, TSeekOrigin::Current);
    int64_t end = Seek(0, TSeekOrigin::End);
    Seek(pos, TSeekOrigin::Begin);
    return end;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
    if (count != 0 && Read(buffer, count) != count) ThrowReadError();
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
    if (count != 0 && Write(buffer, count) != count) ThrowWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count <= 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    char buf[64 * 1024];
    int64_t left = count;
    while (left > 0) {
        size_t n = static_cast<size_t>(std::min<int64_t>(left, sizeof(buf)));
        source.ReadBuffer(buf, n);
        WriteBuffer(buf, n);
        left -= static_cast<int64_t>(n);
    }
    return count;
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
    if (pos_ >= data_.size()) return 0;
    size_t n = std::min(count, data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    try {
        if (pos_ > data_.size()) data_.resize(pos_, '\0');  // written past the end: the gap is zeros
        size_t overlap = std::min(count, data_.size() - pos_);
        data_.replace(pos_, overlap, static_cast<const char*>(buffer), count);
    } catch (const std::bad_alloc&) {
        return 0;
    } catch (const std::length_error&) {
        return 0;
    }
    pos_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == TSeekOrigin::Begin     ? 0
                   : origin == TSeekOrigin::Current ? static_cast<int64_t>(pos_)
                                                    : static_cast<int64_t>(data_.size());
    int64_t target = base + offset;
    if (target < 0 || target > static_cast<int64_t>(SIZE_MAX / 2)) ThrowSeekError();
    pos_ = static_cast<size_t>(target);
    return target;
}

void TMemoryStream::SetSize(int64_t size) {
    if (size < 0 || size > static_cast<int64_t>(SIZE_MAX / 2)) ThrowSeekError();
    try {
        data_.resize(static_cast<size_t>(size), '\0');
    } catch (const std::bad_alloc&) {
        throw Exception(L"メモリが不足しています");
    }
    if (pos_ > data_.size()) pos_ = data_.size();
}

void TMemoryStream::Clear() noexcept {
    data_.clear();
    data_.shrink_to_fit();
    pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::wstring& fileName) {
    std::string bytes;
    if (!ReadWholeFile(fileName, bytes)) throw Exception(L"ファイル " + fileName + L" を開けません");
    data_ = std::move(bytes);
    pos_ = 0;
}

void TMemoryStream::SaveToFile(const std::wstring& fileName) const {
    if (!WriteWholeFile(fileName, data_))
        throw Exception(L"ファイル " + fileName + L" を作成できません");
}

TFileStream::TFileStream(const std::wstring& fileName, TFileMode mode, TFileShare share)
    : fileName_(fileName) {
    DWORD access = mode == TFileMode::OpenRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    DWORD shareMode = share == TFileShare::DenyNone    ? FILE_SHARE_READ | FILE_SHARE_WRITE
                      : share == TFileShare::DenyWrite ? FILE_SHARE_READ
                                                       : 0;
    DWORD disposition = mode == TFileMode::Create ? CREATE_ALWAYS : OPEN_EXISTING;
    file_.reset(::CreateFileW(fileName.c_str(), access, shareMode, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        throw Exception(mode == TFileMode::Create ? L"ファイル " + fileName + L" を作成できません"
                                                  : L"ファイル " + fileName + L" を開けません");
    }
}

size_t TFileStream::Read(void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        DWORD got = 0;
        DWORD ask = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
        if (!::ReadFile(file_.get(), static_cast<char*>(buffer) + done, ask, &got, nullptr) || got == 0)
            break;
        done += got;
    }
    return done;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        DWORD put = 0;
        DWORD ask = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
        if (!::WriteFile(file_.get(), static_cast<const char*>(buffer) + done, ask, &put, nullptr) ||
            put == 0)
            break;
        done += put;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    DWORD how = origin == TSeekOrigin::Begin ? FILE_BEGIN
                : origin == TSeekOrigin::Current ? FILE_CURRENT
                                                 : FILE_END;
    LARGE_INTEGER dist, now;
    dist.QuadPart = offset;
    if (!::SetFilePointerEx(file_.get(), dist, &now, how)) ThrowSeekError();
    return now.QuadPart;
}

void TFileStream::SetSize(int64_t size) {
    int64_t pos = Position();
    SetPosition(size);
    if (!::SetEndOfFile(file_.get())) ThrowWriteError();
    if (pos < size) SetPosition(pos);
}

}  // namespace gui
