#include "editor/EditorFactory.h"

#include "editor/AEffEditor.h"
#include "host/AudioEffectX.h"

// Until the graphical editor exists, the effect gets the plain editor: the host still sees an
// effect with an editor, and every editor request gets its harmless default answer.
AEffEditor* createLumivaneEditor(AudioEffectX* effect) { return new AEffEditor(effect); }
