#pragma once
// The seal on a backup set: an HMAC-SHA256 over the set's record, made with
// a key that only this user can read. Sets live in a folder the user (and so
// any program the user runs) can write, while a restore may run elevated: a
// record that was not written by this program, or was changed since, must
// not decide where files and registry values are written.
//
// The key is 32 random bytes kept in the backup folder as a blob that the
// user's data-protection key encrypts (CryptProtectData): a file written into
// the folder cannot supply a key of its own, and a changed blob gives another
// key, so that every set fails its check rather than passing it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quor {

inline constexpr wchar_t kSealKeyFileName[] = L"backup.key";

class TBackupSeal {
 public:
  // The key of the sets below `root`, made when `create` and none is there
  // yet; null with the reason in `error` when there is none or it cannot be
  // read.
  static std::optional<TBackupSeal> ForRoot(const std::wstring& root, bool create,
                                            std::wstring& error);
  // A seal with the given key, for tests.
  explicit TBackupSeal(std::vector<uint8_t> key) : FKey(std::move(key)) {}

  // Lower-case hex HMAC-SHA256 of the bytes; empty when the system cannot make one.
  std::string Sign(std::string_view bytes) const;
  bool Verify(std::string_view bytes, std::string_view seal) const;

 private:
  std::vector<uint8_t> FKey;
};

// Lower-case hex SHA-256 of the bytes; empty when the system cannot make one.
std::string Sha256Hex(std::string_view bytes);

}  // namespace quor
