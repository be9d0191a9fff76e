// A plug-in library whose entry point builds nothing, as one does when it cannot start.
struct AEffect;
extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(void*) { return nullptr; }
