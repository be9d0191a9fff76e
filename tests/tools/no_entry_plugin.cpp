// A library that is no plug-in: it exports a function, but no entry point.
extern "C" __attribute__((visibility("default"))) int notAnEntryPoint() { return 42; }
