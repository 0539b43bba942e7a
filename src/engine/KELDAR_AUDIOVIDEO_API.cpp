#include "engine/KELDAR_AUDIOVIDEO_API.h"

namespace {
KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord g_current;
}

KELDAR_AUDIOVIDEO_API_AudioAPIToLoadStructure& KELDAR_AUDIOVIDEO_API_AudioAPIToLoad() {
  static KELDAR_AUDIOVIDEO_API_AudioAPIToLoadStructure table;
  return table;
}

int RegisterAudioAPI(KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord record) {
  auto& table = KELDAR_AUDIOVIDEO_API_AudioAPIToLoad();
  if (table.Count >= KELDAR_AUDIOVIDEO_API_AudioAPIToLoadStructure::kSlots) return -1;
  table.Slots[++table.Count] = std::move(record);
  return table.Count;
}

bool SelectAudioAPI(int slot) {
  auto& table = KELDAR_AUDIOVIDEO_API_AudioAPIToLoad();
  if (slot < 1 || slot > KELDAR_AUDIOVIDEO_API_AudioAPIToLoadStructure::kSlots) return false;
  if (!table.Slots[slot].KELDAR_AUDIOVIDEO_API_InitializeFunction) return false;
  g_current = table.Slots[slot];
  table.Chosen = slot;
  return true;
}

const KELDAR_AUDIOVIDEO_API_AudioAPIToLoadRecord& KELDAR_AUDIOVIDEO_API_CurrentAudioAPI() { return g_current; }

KELDAR_AUDIOVIDEO_API_EngineSettings& KELDAR_AUDIOVIDEO_API_Settings() {
  static KELDAR_AUDIOVIDEO_API_EngineSettings settings;
  return settings;
}

KELDAR_AUDIOVIDEO_API_Operations& KELDAR_AUDIOVIDEO_API_Slots() {
  static KELDAR_AUDIOVIDEO_API_Operations slots;
  return slots;
}

KELDAR_AUDIOVIDEO_API_EngineState& KELDAR_AUDIOVIDEO_API_State() {
  static KELDAR_AUDIOVIDEO_API_EngineState state;
  return state;
}
