#pragma once
// Stand-in for <windows.h> in the native (Linux, clang, sanitizer) build of
// the window-free code. It declares only what that code and its tests use:
// the value types (RECT, POINT, SIZE, DWORD...), key and registry-type
// codes with the system's values, and a handful of functions, defined in
// Win32StandIn.cpp. Anything else is missing on purpose: code that starts
// to need a window, the registry or a real file fails to build here, which
// keeps the native run to what it can check.
//
// wchar_t holds 32 bits here and 16 on Windows. The code under test keeps
// UTF-16 code units in it either way, so the text functions below read and
// write wchar_t strings as UTF-16; a value above U+FFFF, which only a 32-bit
// wchar_t can hold, is read as that code point.

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;  // 32 bits as on Windows, where it is an unsigned long
using UINT = unsigned int;
using LONG = int32_t;  // 32 bits as on Windows, where it is a long
using WCHAR = wchar_t;
using HANDLE = void*;
using HKEY = struct HKEY__*;
using HMODULE = struct HINSTANCE__*;
using HWND = struct HWND__*;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

struct RECT {
  LONG left, top, right, bottom;
};
struct POINT {
  LONG x, y;
};
struct SIZE {
  LONG cx, cy;
};
struct FILETIME {
  DWORD dwLowDateTime, dwHighDateTime;
};
struct SYSTEMTIME {
  WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};
union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  long long QuadPart;
};

// Virtual-key codes.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_F1 0x70
#define VK_F24 0x87

#define WHEEL_DELTA 120

// Geometry: a point in a rectangle that holds its left and top edges, not
// its right and bottom ones.
BOOL PtInRect(const RECT* rect, POINT point);
// No area: right at or left of its left edge, or bottom at or above its top.
BOOL IsRectEmpty(const RECT* rect);

// Registry value types.
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7
#define REG_QWORD 11

// Text: character types, ordinal comparison, code-page conversion. The code
// pages are UTF-8 and, for CP_ACP, Windows-1252 (without best-fit mapping).
#define CP_ACP 0
#define CP_UTF8 65001
#define CT_CTYPE1 0x0001
#define C1_UPPER 0x0001
#define C1_LOWER 0x0002
#define C1_DIGIT 0x0004
#define C1_ALPHA 0x0100
#define CSTR_LESS_THAN 1
#define CSTR_EQUAL 2
#define CSTR_GREATER_THAN 3

BOOL GetStringTypeW(DWORD infoType, const WCHAR* text, int count, WORD* types);
int CompareStringOrdinal(const WCHAR* a, int countA, const WCHAR* b, int countB, BOOL ignoreCase);
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* text, int count, char* out,
                        int outSize, const char* defaultChar, BOOL* usedDefaultChar);
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int count, WCHAR* out,
                        int outSize);

// The process environment, "%NAME%" as Windows expands it.
DWORD ExpandEnvironmentStringsW(const WCHAR* text, WCHAR* out, DWORD outSize);

// Files and paths: there is no Windows file system here, so every path is
// missing and every call fails as for a missing file.
#define GENERIC_READ 0x80000000u
#define FILE_SHARE_READ 0x1
#define FILE_SHARE_WRITE 0x2
#define FILE_SHARE_DELETE 0x4
#define OPEN_EXISTING 3
#define FILE_ATTRIBUTE_NORMAL 0x80
#define FILE_ATTRIBUTE_REPARSE_POINT 0x400
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000
#define FILE_READ_ATTRIBUTES 0x80
#define FILE_NAME_NORMALIZED 0x0
#define VOLUME_NAME_DOS 0x0
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(-1))

HANDLE CreateFileW(const WCHAR* path, DWORD access, DWORD share, void* security, DWORD creation,
                   DWORD flags, HANDLE templateFile);
BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size);
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped);
DWORD GetFileAttributesW(const WCHAR* path);
DWORD GetFullPathNameW(const WCHAR* path, DWORD size, WCHAR* out, WCHAR** filePart);
DWORD GetLongPathNameW(const WCHAR* path, WCHAR* out, DWORD size);
DWORD GetFinalPathNameByHandleW(HANDLE file, WCHAR* out, DWORD size, DWORD flags);
BOOL CloseHandle(HANDLE h);

// Named by the handle owners (base/Handles.h); no handle of these kinds is
// ever made here, so they are declared only.
BOOL FindClose(HANDLE h);
LONG RegCloseKey(HKEY key);
BOOL FreeLibrary(HMODULE module);
BOOL DestroyWindow(HWND window);
