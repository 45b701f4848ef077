#pragma once
// Value types and enumerations shared by every skinned control.

#include <windows.h>

#include <cstdint>
#include <initializer_list>

namespace quor {

// Colours are 0x00BBGGRR; clNone means "no tint" wherever a tint is taken.
using TColor = uint32_t;
inline constexpr TColor clNone = 0x1FFFFFFF;

inline constexpr uint8_t ColorRed(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
inline constexpr uint8_t ColorGreen(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
inline constexpr uint8_t ColorBlue(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

// Split points of a skin image, measured from its top-left corner (not from the far edges).
class TQuorPadding {
 public:
  TQuorPadding() = default;
  TQuorPadding(int left, int top, int right, int bottom)
      : FLeft(left), FTop(top), FRight(right), FBottom(bottom) {}

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Right() const { return FRight; }
  int Bottom() const { return FBottom; }
  int Get(int index) const;
  // Index 0..3 is Left, Top, Right, Bottom; returns whether a value changed.
  bool SetValue(int index, int value);
  void Assign(const TQuorPadding& other) { *this = other; }

  bool HorizontalOrdered() const { return FLeft < FRight; }
  bool VerticalOrdered() const { return FTop < FBottom; }
  bool operator==(const TQuorPadding&) const = default;

 private:
  int FLeft = 0;
  int FTop = 0;
  int FRight = 0;
  int FBottom = 0;
};

enum class TQuorFormBtn : uint8_t { QbiMenu, QbiMinimize, QbiMaximize, QbiSkin };

// The set of caption buttons besides close.
class TQuorFormBtns {
 public:
  constexpr TQuorFormBtns() = default;
  constexpr TQuorFormBtns(std::initializer_list<TQuorFormBtn> buttons) {
    for (auto b : buttons) FBits |= Bit(b);
  }
  constexpr bool Has(TQuorFormBtn b) const { return (FBits & Bit(b)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr bool operator==(const TQuorFormBtns&) const = default;

 private:
  static constexpr uint8_t Bit(TQuorFormBtn b) { return uint8_t(1u << static_cast<int>(b)); }
  uint8_t FBits = 0;
};

enum class TQuorFormState : uint8_t { QsNormal, QsMax };
enum class TQuorBtnStatus : uint8_t { bsNormal, bsOver, bsDown, bsDisable, bsSelect, bsFocus };
enum class TQuorLayout : uint8_t { qlGlphyLeft, qlGlphyTop, qlGlphyRight, qlGlphyBottom };
enum class TQuorProgressKind : uint8_t { QpVer, QpHor };
enum class TQuorScrollkind : uint8_t { skHor, skVer };

}  // namespace quor
