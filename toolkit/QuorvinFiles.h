// Files, drives, folders and the settings folder. Existence tests that never
// let Windows show its "drive not ready" box, the Windows, system, boot and
// shell folders, long true-case paths, and the per-user settings folder.
// Strings come back through out-parameters; nothing here throws.
#pragma once

#include <windows.h>
#include <string>

// The per-user settings folder with a trailing backslash; set by CreateSettingsFolder.
extern std::wstring UserSettingsDir;

// Value names under Explorer's "Shell Folders" key, by index 0-10.
extern const wchar_t* const ShellFolderNames[11];
// Shell folder identifiers for GetSpecialFolderPath, by index 0-5.
extern const int SpecialFolderCSIDLs[6];

bool IsDriveReady(wchar_t ch);
bool IsPathDriveReady(const std::wstring& path);
bool FileExistsSafe(const std::wstring& fileName);
bool DirectoryExistsSafe(const std::wstring& path);

void GetVolumeLabelStr(const std::wstring& rootPath, std::wstring& label);
void GetDriveTypeText(const std::wstring& rootPath, std::wstring& text);

// Local date-time as days since 1899-12-30 with the time as fraction; 0 on failure.
double FileTimeToLocalDateTime(const FILETIME& fileTime);
void GetFileTimeTexts(const std::wstring& fileName, std::wstring& modifiedText,
                      std::wstring& createdText);
void GetLastOpenSaveMRUFile(std::wstring& fileName);

void GetShellFolderPath(int index, std::wstring& path);
void GetSpecialFolderPath(int index, std::wstring& path);
void GetWindowsDir(std::wstring& dir);
void GetSystemDir(std::wstring& dir);
void GetBootDrive(std::wstring& drive);
void GetLongPathNameStr(const std::wstring& path, std::wstring& longPath);

// The running program's own file: its full path, and its folder with a
// trailing backslash.
std::wstring ProgramFilePath();
std::wstring ProgramFolder();

// Builds <roaming AppData>\Quorvin\<name>; true when the folder exists afterwards.
bool CreateSettingsFolder(const std::wstring& name);
