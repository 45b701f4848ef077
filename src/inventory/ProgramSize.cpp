#include "inventory/ProgramSize.h"

#include <process.h>

#include <cstdio>
#include <vector>

#include "base/FindFile.h"
#include "base/Handles.h"
#include "base/LongPath.h"
#include "inventory/EnumPrograms.h"
#include "inventory/Registry.h"

namespace quor {
namespace {

unsigned __stdcall SizeThreadProc(void* param) {
  std::unique_ptr<TGetSizeThread> self(static_cast<TGetSizeThread*>(param));
  try {
    self->Execute();
  } catch (...) {
    // A failed measurement leaves the size undetermined; nothing to report.
  }
  return 0;
}

std::wstring LocaleInfo(LCTYPE type, const wchar_t* fallback) {
  wchar_t buf[16] = {};
  return ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 16) > 0 ? buf : fallback;
}

// Grouping "3;0" means groups of three; "3;2;0" (Indian) is given as 32.
UINT Grouping(const std::wstring& text) {
  UINT value = 0;
  for (wchar_t c : text) {
    if (c >= L'0' && c <= L'9') value = value * 10 + (c - L'0');
  }
  return (value % 10 == 0) ? value / 10 : value;
}

std::wstring FormatNumber(double value, int decimals) {
  wchar_t digits[64];
  std::swprintf(digits, 64, L"%.*f", decimals, value);
  const std::wstring decimal = LocaleInfo(LOCALE_SDECIMAL, L".");
  const std::wstring thousand = LocaleInfo(LOCALE_STHOUSAND, L",");
  NUMBERFMTW fmt{};
  fmt.NumDigits = static_cast<UINT>(decimals);
  fmt.LeadingZero = 1;
  fmt.Grouping = Grouping(LocaleInfo(LOCALE_SGROUPING, L"3;0"));
  fmt.lpDecimalSep = const_cast<wchar_t*>(decimal.c_str());
  fmt.lpThousandSep = const_cast<wchar_t*>(thousand.c_str());
  fmt.NegativeOrder = 1;
  wchar_t out[96] = {};
  if (::GetNumberFormatW(LOCALE_USER_DEFAULT, 0, digits, &fmt, out, 96) == 0) return digits;
  return out;
}

}  // namespace

int64_t TUninstallObject::GetSize() {
  const int64_t size = Size.load();
  if (size > 0) return size;
  if (SizeComputing.load()) return -1;
  if (!SizeDone.load()) {
    // Callers hold the record through its list; a record outside any list
    // cannot be kept alive by a computation, so it is measured at once.
    std::shared_ptr<TUninstallObject> self = weak_from_this().lock();
    if (self) {
      StartGetSize(self);
      return -1;
    }
    Size = CalcSize(*this);
    SizeDone = true;
  }
  return Size.load();
}

TGetSizeThread* TGetSizeThread::Start(std::shared_ptr<TUninstallObject> record) {
  auto thread = std::make_unique<TGetSizeThread>(std::move(record));
  const uintptr_t h = ::_beginthreadex(nullptr, 0, SizeThreadProc, thread.get(), 0, nullptr);
  if (h == 0) return nullptr;
  ::CloseHandle(reinterpret_cast<HANDLE>(h));
  return thread.release();
}

void TGetSizeThread::Execute() {
  if (!FRecord) return;
  if (FRecord->Size.load() <= 0) FRecord->Size = CalcSize(*FRecord);
  // Done before computing cleared: a reader that sees the computation over
  // also sees it finished.
  FRecord->SizeDone = true;
  FRecord->SizeComputing = false;
  if (FRecord->OwnerWindow && !FRecord->Detached.load()) {
    ::SendMessageW(FRecord->OwnerWindow, EngineNotify, kSizeReadyCode,
                   static_cast<LPARAM>(FRecord->Index));
  }
}

void StartGetSize(const std::shared_ptr<TUninstallObject>& record) {
  record->SizeComputing = true;
  record->SizeThread = TGetSizeThread::Start(record);
  if (!record->SizeThread) {
    // No thread to be had: measure here rather than stay "computing" for good.
    TGetSizeThread(record).Execute();
  }
}

int64_t CalcSize(const TUninstallObject& record) {
  int64_t bytes = 0;
  if (!record.InstallLocation.empty()) {
    bytes = GetFolderSize(record.InstallLocation);
  } else if (!record.DisplayIcon.empty()) {
    bytes = GetFolderSize(FolderPart(record.DisplayIcon));
  }
  const int64_t kib = bytes / 1024;
  return kib < 0 ? 0 : kib;
}

// Folder links (junctions, symbolic links) are not followed: a link can
// loop, and what it points at belongs to another folder's size. An explicit
// stack: a tree thousands of levels deep must not exhaust the thread's.
int64_t GetFolderSize(const std::wstring& folder) {
  int64_t total = 0;
  std::vector<std::wstring> pending{IncludeBackslash(folder)};
  while (!pending.empty()) {
    const std::wstring base = std::move(pending.back());
    pending.pop_back();
    for (TFindFile find(base); find.Next();) {
      if (find.IsFolder()) {
        if (!find.IsLink()) pending.push_back(base + find.Name() + L"\\");
      } else {
        const auto& data = find.Entry();
        total += static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) |
                                      data.nFileSizeLow);
      }
    }
  }
  return total;
}

std::wstring FormatSize(int64_t bytes) {
  if (bytes < 1024) return FormatNumber(static_cast<double>(bytes), 0) + L" Bytes";
  if (bytes < 1048576) return FormatNumber(bytes / 1024.0, 1) + L" KB";
  if (bytes < 1073741824) return FormatNumber(bytes / 1048576.0, 1) + L" MB";
  return FormatNumber(bytes / 1073741824.0, 1) + L" GB";
}

}  // namespace quor
