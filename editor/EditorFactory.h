#pragma once

class AEffEditor;
class AudioEffectX;

// Builds the editor object of the Lumivane effect, bound to that effect. The effect calls it once
// from its constructor and attaches the result with setEditor; it owns the editor from then on.
AEffEditor* createLumivaneEditor(AudioEffectX* effect);
