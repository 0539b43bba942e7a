// One row of a built-in skin catalogue: everything a catalogue build puts into a control
// record, plus the window set the control joins.
#pragma once

#include <array>
#include <cstdint>

#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinControlTypes.h"
#include "skin/KELDARSkinControls_IDs.h"
#include "skin/SkinControlStates.h"

struct TKELDARSkinCatalogueRow {
  KELDARSkinControlTypes Kind = KELDARSkinEmptyControl;
  KELDARSkinControls_IDs Parent = Form_NullControl;
  KELDARSkinControls_IDs Child = Form_NullControl;
  KELDARSkinControls_IDs Tile = Form_NullControl;
  const char* Hint = "";
  bool Enabled = true;
  bool Direction = false;
  std::int32_t NumberOfImages = 0;
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  TSkinWindowOfControl Window = TSkinWindowOfControl::Global;
  SkinControlMouseEvents NEWMouseState = meMouseUp;
  SkinControlMouseEvents CLICKEDMouseState = meMouseNOTClicked;
};

using TKELDARSkinCatalogue = std::array<TKELDARSkinCatalogueRow, KELDARSkinControlsCount>;

// The skin families, each with its own built-in catalogue.
enum class TKELDARSkinFamily : std::uint8_t { Own, Winamp, Kjofol };

constexpr KELDARSkinControls_IDs SkinId(int ordinal) { return static_cast<KELDARSkinControls_IDs>(ordinal); }

// Geometry helpers for the catalogue builders.
constexpr void SetRect(TKELDARSkinCatalogueRow& row, std::int32_t left, std::int32_t top, std::int32_t width,
                       std::int32_t height) {
  row.Left = left;
  row.Top = top;
  row.Width = width;
  row.Height = height;
}
