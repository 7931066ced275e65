// Whole-file reads and safe whole-file writes. A write goes to a uniquely
// named sibling file first, which then replaces the target, so a failed or
// interrupted save never leaves a half-written file behind.
#pragma once

#include <string>
#include <string_view>

namespace gui {

// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);

// Writes the whole file safely; false (target untouched) when any step fails,
// for example when the target is in use.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);

}  // namespace gui
