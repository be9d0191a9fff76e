#include "tools/validate/CheckList.h"

#include "tools/validate/Checks.h"

const std::vector<CheckDefinition>& allChecks() {
  static const std::vector<CheckDefinition> checks = {
      {"load", "the entry point gives a whole record: magic, functions, counts, names", checkLoad},
      {"open-close-cycles", "100 effects opened, run and closed, every other one beside a second",
       checkOpenCloseCycles},
      {"texts", "names, labels, displays and program names end within the room hosts give",
       checkTexts},
      {"process-before-resume", "processing before effMainsChanged turns it on",
       checkProcessBeforeResume},
      {"process-after-suspend", "processing after effMainsChanged turns it off, then on again",
       checkProcessAfterSuspend},
      {"sample-rates", "every rate hosts offer, 8000 to 768000 Hz", checkSampleRates},
      {"absurd-sample-rates", "0, negative, NaN, infinite and 10 MHz rates, then 44100 Hz again",
       checkAbsurdSampleRates},
      {"block-sizes", "blocks of 1, 7, 64, 4096 and 65536 frames, shorter and empty ones",
       checkBlockSizes},
      {"longer-blocks", "blocks longer than effSetBlockSize announced", checkLongerBlocks},
      {"silence-after-signal", "seconds of silence after a signal, free of subnormal numbers",
       checkSilenceAfterSignal},
      {"parameter-sweep", "each parameter through its range, read back and displayed",
       checkParameterSweep},
      {"parameter-fuzz-during-audio",
       "NaN, infinite, out-of-range and valid values while audio runs",
       checkParameterFuzzDuringAudio},
      {"parameter-indices-out-of-range", "parameter calls with indices the plug-in does not have",
       checkParameterIndicesOutOfRange},
      {"program-switches-during-audio",
       "program switches, some to programs it lacks, while audio runs",
       checkProgramSwitchesDuringAudio},
      {"opcode-fuzz", "every opcode 0 to 127 with random arguments and valid pointers",
       checkOpcodeFuzz},
      {"opcode-fuzz-null-pointers", "every opcode 0 to 127 with random arguments and null pointers",
       checkOpcodeFuzzNullPointers},
      {"editor-cycles", "the editor opened, idled and closed again and again", checkEditorCycles},
      {"editor-cycles-during-audio", "the same with audio running on another thread",
       checkEditorCyclesDuringAudio},
      {"state-round-trip",
       "program, names and values saved from one effect and loaded into another",
       checkStateRoundTrip},
  };
  return checks;
}

const CheckDefinition* findCheck(const std::string& name) {
  for (const CheckDefinition& check : allChecks())
    if (name == check.name) return &check;
  return nullptr;
}
