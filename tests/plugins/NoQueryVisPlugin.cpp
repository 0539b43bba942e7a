// A library that looks like a visualization plug-in by name only: no QueryModule.
extern "C" __attribute__((visibility("default"))) int NotTheEntry() { return 1; }
