#include "skin/SkinRuntimeState.h"

TSkinRuntimeState& SkinRuntimeState() {
  static TSkinRuntimeState state;
  return state;
}
