#include "editor/EditorFactory.h"

#include "editor/LumivaneEditor.h"

AEffEditor* createLumivaneEditor(AudioEffectX* effect) { return new LumivaneEditor(effect); }
