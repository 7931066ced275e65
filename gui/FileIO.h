// Whole-file reads and safe whole-file writes. A write goes to a uniquely
// named sibling file first, which is flushed and then replaces the target, so
// a failed or interrupted save never leaves a half-written file behind.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace gui {

// Reads the whole file, opened with the given sharing (by default other
// programs may go on reading and writing it); false when it cannot be opened
// or read.
bool ReadWholeFile(const std::wstring& path, std::string& bytes,
                   DWORD shareMode = FILE_SHARE_READ | FILE_SHARE_WRITE);

// Writes the whole file safely; false when any step fails, for example when
// the target stays in use. On failure the target is as it was and no
// temporary file is left behind.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);

// Deletes the temporary files that writes into the folder left behind when
// they were interrupted (a crash, a power cut). Only for a folder no other
// process is writing into.
void RemoveLeftoverWrites(const std::wstring& folder);

}  // namespace gui
