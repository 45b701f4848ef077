#pragma once
// Program sizes measured on demand, each on a thread of its own, with a
// size-ready notification to the record's owner window.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "inventory/UninstallObject.h"

namespace quor {

// Window message of the engine's notifications; code 9 is the size-ready
// notification that records send to their owner window.
inline constexpr UINT EngineNotify = WM_USER + 601;
inline constexpr WPARAM kSizeReadyCode = 9;

// A running size computation. It keeps its record alive until it has
// finished, and frees itself when it ends.
class TGetSizeThread {
 public:
  explicit TGetSizeThread(std::shared_ptr<TUninstallObject> record) : FRecord(std::move(record)) {}
  // Starts the thread; answers the (self-owning) thread object, or null when
  // no thread could be started.
  static TGetSizeThread* Start(std::shared_ptr<TUninstallObject> record);
  void Execute();

 private:
  std::shared_ptr<TUninstallObject> FRecord;
};

void StartGetSize(const std::shared_ptr<TUninstallObject>& record);
int64_t CalcSize(const TUninstallObject& record);
int64_t GetFolderSize(const std::wstring& folder);
std::wstring FormatSize(int64_t bytes);

}  // namespace quor
