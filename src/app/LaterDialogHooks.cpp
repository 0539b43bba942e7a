#include "app/LaterDialogHooks.h"

#include "app/CommandActions.h"

TLaterDialogHooks& LaterDialogHooks() {
  static TLaterDialogHooks hooks;
  return hooks;
}

void RunLaterDialogHook(const std::function<void()>& hook, const char* name) {
  if (hook)
    hook();
  else
    CommandActionNotInstalled(name);
}
