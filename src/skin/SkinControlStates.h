// Mouse and display states of a skin control, the image roles of its state sheets and
// the channel-lamp state. All are stored as one byte with the values given here.
#pragma once

#include <array>
#include <cstdint>

enum SkinControlMouseEvents : std::uint8_t {
  meMouseDown = 0,
  meMouseUp = 1,
  meMouseNOTClicked = 2,
  meMouseClicked = 3,
  meMouseDblClick = 4,
};

enum BitmapPurposeStates : std::uint8_t {
  bpNOTActiveBitmap = 0,
  bpPressed1Bitmap = 1,
  bpPressed2Bitmap = 2,
  bpActiveBitmap = 3,
};

// Maps a wanted image role to the role actually drawn (identity unless a converter
// redirects pressed images to another sheet).
using Control_States_Alias_Array = std::array<BitmapPurposeStates, 4>;

inline constexpr Control_States_Alias_Array IdentityControlStatesAliases = {
    bpNOTActiveBitmap, bpPressed1Bitmap, bpPressed2Bitmap, bpActiveBitmap};

enum msMonoStereoState : std::uint8_t {
  msMonoOutput = 0,
  msStereoOutput = 1,
  msSurroundOutput = 2,
  msNULLOutput = 3,
};
