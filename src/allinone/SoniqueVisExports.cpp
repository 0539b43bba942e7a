// The one export of keldarallinone.svp.
#include "allinone/SoniqueVisTemplateUnit.h"

extern "C" __attribute__((visibility("default"))) VisPluginInfo* QueryModule() { return AllInOneQueryModule(); }
