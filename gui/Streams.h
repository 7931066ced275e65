// Byte streams: TStream (read, write, seek, size; the *Buffer forms throw
// gui::Exception when not every byte moves), TMemoryStream (bytes in
// memory, loaded from a file or saved to one whole and safely) and
// TFileStream (a file opened with a given sharing). Settings and list files
// are written through TMemoryStream::SaveToFile, never in place.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "gui/Handles.h"

namespace gui {

enum class TSeekOrigin { Begin, Current, End };

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Moves up to count bytes; returns how many moved.
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    // Returns the new position; throws gui::Exception for a position before 0.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual void SetSize(int64_t size) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::Current); }
    void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::Begin); }
    int64_t Size();
    int64_t Remaining() { return Size() - Position(); }

    // Exactly count bytes, or gui::Exception.
    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);
    // Copies count bytes from source's position (all of source when count is 0).
    int64_t CopyFrom(TStream& source, int64_t count);
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;

    const std::string& Bytes() const noexcept { return data_; }
    void Clear() noexcept;
    // Replaces the contents by the file's (position 0); gui::Exception when
    // it cannot be read.
    void LoadFromFile(const std::wstring& fileName);
    // Writes the contents whole and safely; gui::Exception when it cannot,
    // and the old file then stays as it was.
    void SaveToFile(const std::wstring& fileName) const;

private:
    std::string data_;
    size_t pos_ = 0;
};

enum class TFileMode {
    OpenRead,       // an existing file, for reading
    OpenReadWrite,  // an existing file, for reading and writing
    Create,         // a new or emptied file, for reading and writing
};
enum class TFileShare { DenyNone, DenyWrite, Exclusive };

class TFileStream : public TStream {
public:
    // gui::Exception when the file cannot be opened.
    TFileStream(const std::wstring& fileName, TFileMode mode,
                TFileShare share = TFileShare::DenyWrite);

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;

    const std::wstring& FileName() const noexcept { return fileName_; }
    HANDLE Handle() const noexcept { return file_.get(); }

private:
    std::wstring fileName_;
    FileHandle file_;
};

}  // namespace gui
