// Text routines: small string helpers, the version strings of program files,
// the text-encoding kind of a file, the test whether a file is text, list
// files (one entry a line, CR LF after every line) in each encoding kind, and
// putting text on the clipboard with retries. Strings come back through
// out-parameters (which may be the input itself); nothing here throws.
#pragma once

#include <string>

#include "gui/IniFile.h"
#include "gui/StringList.h"
#include "gui/TextCodec.h"

// Removes one trailing "\" when there is one.
void StripTrailingBackslash(const std::wstring& path, std::wstring& result);
// The file-name part without folder, cut before its last "."; unchanged
// without a ".".
void StripFileExt(const std::wstring& fileName, std::wstring& name);
// The file name without folder and extension (as StripFileExt).
void ExtractBareFileName(const std::wstring& path, std::wstring& name);
// s up to its first NUL character.
void CutAtNul(const std::wstring& s, std::wstring& result);
// CutAtNul, then trailing blanks and control characters removed.
void CutAtNulTrimRight(const std::wstring& s, std::wstring& result);
// The integer value of s, taken as 64 bits and cut to 32; 0 for '' and for a
// text that is no integer.
int StrToIntSafe(const std::wstring& s);
// 1-based position of the last occurrence of the character ch (a one-character
// string) in s; 0 when there is none.
int LastCharPos(const std::wstring& ch, const std::wstring& s);
// False when the name holds one of \ / : * ? < > |; true otherwise (also '').
bool IsValidFileName(const std::wstring& name);
// Every "&" becomes "&&,"; UnescapeAmpersands turns "&&," back into "&"
// until none is left.
void EscapeAmpersands(const std::wstring& s, std::wstring& result);
void UnescapeAmpersands(const std::wstring& s, std::wstring& result);

// Appends the version strings of a program file to list (not cleared first),
// one row per key present: the key padded with blanks to 16 characters, "：",
// then the value, so the value starts at the 18th character. Keys in this
// order: CompanyName, FileDescription, FileVersion, InternalName,
// LegalCopyright, LegalTrademarks, OriginalFilename, ProductName,
// ProductVersion, Comments, SpecialBuild, PrivateBuild, Sample-Number. False
// when the file has no version information or no translation entry.
bool GetVersionInfoList(const std::wstring& fileName, gui::TStringList& list);
// The FileDescription value; '' without one and when it equals FileVersion.
void GetFileDescription(const std::wstring& fileName, std::wstring& desc);

// The encoding of a text file and its kind 0-4 (the TTextEncoding value): a
// byte-order mark gives 1, 2 or 3; without one a line that holds bytes of
// 0x80 or above and is well-formed UTF-8 gives 4 (UTF-8 without mark), else
// 0. A missing or unreadable file (one held by a writer, too) gives 0.
gui::TTextEncoding DetectTextEncoding(const std::wstring& fileName, int& kind);
// Whether the start of the file looks like text (no control codes but tab,
// CR and LF); a missing file counts as text, a read error as not.
bool IsTextFile(const std::wstring& fileName);

// Writes list to fileName as a list file in the encoding (with its mark),
// whole and safely. False when the file exists but another program has it
// open, and when writing fails; the old file is then as it was. Sets the
// current folder to the program's folder afterwards.
bool WriteListFile(const gui::TStringList& list, const std::wstring& fileName,
                   gui::TTextEncoding encoding);
// Clears list and, when the file exists, loads its lines in the encoding (a
// mark of that encoding is skipped). Returns the number of lines; an
// unreadable file gives 0. Sets the current folder to the program's folder.
int ReadListFile(gui::TStringList& list, const std::wstring& fileName, gui::TTextEncoding encoding);

// A settings file kept as UTF-16LE with mark that was found in the system
// code page (no mark, not UTF-8) is rewritten once, line by line, as
// UTF-16LE with mark. True when it was converted; a missing, unreadable or
// unwritable file is left as it is.
bool ConvertAnsiFileToUtf16(const std::wstring& fileName);
// Such a file opened with the ini object to be read and written back as
// UTF-16LE. A file without a mark that is well-formed UTF-8 is read as
// UTF-8: in the system code page its non-ASCII text would be garbled and
// saved so.
gui::TMemIniFile OpenUtf16IniFile(const std::wstring& fileName);

// Puts text on the clipboard as Unicode text, opened for the application's
// window; up to 5 tries, waiting 100 ms after each failed one. False when
// all failed.
bool SetClipboardTextRetry(const std::wstring& text);
