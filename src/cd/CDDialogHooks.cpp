#include "cd/CDDialogHooks.h"

TCDDialogHooks& CDDialogHooks() {
  static TCDDialogHooks hooks;
  return hooks;
}
