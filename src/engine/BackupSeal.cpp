#include "engine/BackupSeal.h"

#include <windows.h>

// After windows.h, which they need.
#include <bcrypt.h>
#include <wincrypt.h>

#include <algorithm>
#include <memory>

#include "base/FileDelete.h"
#include "base/Handles.h"

namespace quor {
namespace {

constexpr size_t kKeyBytes = 32;
constexpr DWORD kMaxBlobBytes = 64 * 1024;
// Binds the protected blob to this use: another program's blob for this
// user does not unprotect as a key here.
constexpr wchar_t kEntropyText[] = L"Quor Uninstaller backup seal";

struct TBlobFree {
  void operator()(BYTE* p) const { ::LocalFree(p); }
};

DATA_BLOB Entropy() {
  return {static_cast<DWORD>(sizeof kEntropyText),
          reinterpret_cast<BYTE*>(const_cast<wchar_t*>(kEntropyText))};
}

std::optional<std::string> ReadSmallFile(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(ExactLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 ||
      size.QuadPart > kMaxBlobBytes) {
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
      got != bytes.size()) {
    return std::nullopt;
  }
  return bytes;
}

std::optional<std::vector<uint8_t>> Unprotect(const std::string& blob) {
  DATA_BLOB in{static_cast<DWORD>(blob.size()),
               reinterpret_cast<BYTE*>(const_cast<char*>(blob.data()))};
  DATA_BLOB entropy = Entropy();
  DATA_BLOB out{};
  if (!::CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                            &out)) {
    return std::nullopt;
  }
  std::unique_ptr<BYTE, TBlobFree> owned(out.pbData);
  if (out.cbData != kKeyBytes) return std::nullopt;
  return std::vector<uint8_t>(out.pbData, out.pbData + out.cbData);
}

std::optional<std::string> Protect(const std::vector<uint8_t>& key) {
  DATA_BLOB in{static_cast<DWORD>(key.size()), const_cast<BYTE*>(key.data())};
  DATA_BLOB entropy = Entropy();
  DATA_BLOB out{};
  if (!::CryptProtectData(&in, L"Quor Uninstaller backup seal", &entropy, nullptr, nullptr,
                          CRYPTPROTECT_UI_FORBIDDEN, &out)) {
    return std::nullopt;
  }
  std::unique_ptr<BYTE, TBlobFree> owned(out.pbData);
  return std::string(reinterpret_cast<const char*>(out.pbData), out.cbData);
}

// Writes the blob beside `path` and moves it there: replacing what is there
// only when `replace` (a blob that no longer unprotects).
bool PlaceBlob(const std::wstring& path, const std::string& blob, bool replace,
               std::wstring& error) {
  const std::wstring temporary = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".new";
  {
    UniqueKernelHandle file(::CreateFileW(ExactLongPath(temporary).c_str(), GENERIC_WRITE, 0,
                                          nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file ||
        !::WriteFile(file.Get(), blob.data(), static_cast<DWORD>(blob.size()), &written, nullptr) ||
        written != blob.size() || !::FlushFileBuffers(file.Get())) {
      error = path + L": " + SystemErrorText(::GetLastError());
      file.Reset();
      ::DeleteFileW(ExactLongPath(temporary).c_str());
      return false;
    }
  }
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (::MoveFileExW(ExactLongPath(temporary).c_str(), ExactLongPath(path).c_str(), flags))
    return true;
  const DWORD status = ::GetLastError();
  ::DeleteFileW(ExactLongPath(temporary).c_str());
  // Another process made the key meanwhile: that one counts.
  if (status == ERROR_ALREADY_EXISTS || status == ERROR_FILE_EXISTS) return true;
  error = path + L": " + SystemErrorText(status);
  return false;
}

std::string Hex(const uint8_t* bytes, size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
  return out;
}

// SHA-256, keyed (HMAC) when `key` is given.
std::string HashHex(std::string_view bytes, const std::vector<uint8_t>* key) {
  BCRYPT_ALG_HANDLE alg = nullptr;
  if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr,
                                                    key ? BCRYPT_ALG_HANDLE_HMAC_FLAG : 0))) {
    return {};
  }
  BCRYPT_HASH_HANDLE hash = nullptr;
  uint8_t digest[32] = {};
  bool ok = BCRYPT_SUCCESS(::BCryptCreateHash(alg, &hash, nullptr, 0,
                                              key ? const_cast<PUCHAR>(key->data()) : nullptr,
                                              key ? static_cast<ULONG>(key->size()) : 0, 0));
  for (size_t done = 0; ok && done < bytes.size();) {
    const ULONG chunk = static_cast<ULONG>(std::min<size_t>(bytes.size() - done, 1u << 30));
    ok = BCRYPT_SUCCESS(::BCryptHashData(
        hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + done)), chunk, 0));
    done += chunk;
  }
  ok = ok && BCRYPT_SUCCESS(::BCryptFinishHash(hash, digest, sizeof digest, 0));
  if (hash) ::BCryptDestroyHash(hash);
  ::BCryptCloseAlgorithmProvider(alg, 0);
  return ok ? Hex(digest, sizeof digest) : std::string();
}

}  // namespace

std::optional<TBackupSeal> TBackupSeal::ForRoot(const std::wstring& root, bool create,
                                                std::wstring& error) {
  const std::wstring path = root + L"\\" + kSealKeyFileName;
  const auto blob = ReadSmallFile(path);
  if (blob) {
    if (auto key = Unprotect(*blob)) return TBackupSeal(std::move(*key));
  }
  if (!create) {
    error = blob ? L"the backup key cannot be read by this user" : L"there is no backup key";
    return std::nullopt;
  }
  std::vector<uint8_t> key(kKeyBytes);
  if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, key.data(), static_cast<ULONG>(key.size()),
                                        BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    error = L"no random bytes for the backup key";
    return std::nullopt;
  }
  const auto protectedKey = Protect(key);
  if (!protectedKey) {
    error = L"the backup key cannot be protected: " + SystemErrorText(::GetLastError());
    return std::nullopt;
  }
  if (!PlaceBlob(path, *protectedKey, blob.has_value(), error)) return std::nullopt;
  // Read back: when another process won the race, its key is the one.
  if (const auto placed = ReadSmallFile(path)) {
    if (auto stored = Unprotect(*placed)) return TBackupSeal(std::move(*stored));
  }
  error = path + L": the backup key cannot be read back";
  return std::nullopt;
}

std::string TBackupSeal::Sign(std::string_view bytes) const { return HashHex(bytes, &FKey); }

bool TBackupSeal::Verify(std::string_view bytes, std::string_view seal) const {
  const std::string expected = Sign(bytes);
  if (expected.empty() || seal.size() != expected.size()) return false;
  unsigned char diff = 0;
  for (size_t i = 0; i < expected.size(); ++i)
    diff |= static_cast<unsigned char>(expected[i] ^ seal[i]);
  return diff == 0;
}

std::string Sha256Hex(std::string_view bytes) { return HashHex(bytes, nullptr); }

}  // namespace quor
