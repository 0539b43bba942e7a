#include "app/LaterDialogHooks.h"

TLaterDialogHooks& LaterDialogHooks() {
  static TLaterDialogHooks hooks;
  return hooks;
}

void RunLaterDialogHook(const std::function<void()>& hook) {
  if (hook) hook();
}
