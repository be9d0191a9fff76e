#pragma once
// The checks of the suite. Each runs in a child process of its own against a fresh load of the
// plug-in, answers the detail of its report line when it passes, and throws CheckFailure or
// CheckSkipped otherwise. CheckList.cpp names them and gives their order.
#include <string>

class CheckContext;

// LifecycleChecks.cpp
std::string checkLoad(CheckContext& context);
std::string checkOpenCloseCycles(CheckContext& context);
std::string checkProcessBeforeResume(CheckContext& context);
std::string checkProcessAfterSuspend(CheckContext& context);
std::string checkSilenceAfterSignal(CheckContext& context);

// AudioChecks.cpp
std::string checkSampleRates(CheckContext& context);
std::string checkAbsurdSampleRates(CheckContext& context);
std::string checkBlockSizes(CheckContext& context);
std::string checkLongerBlocks(CheckContext& context);

// TextChecks.cpp
std::string checkTexts(CheckContext& context);

// ParameterChecks.cpp
std::string checkParameterSweep(CheckContext& context);
std::string checkParameterFuzzDuringAudio(CheckContext& context);
std::string checkParameterIndicesOutOfRange(CheckContext& context);
std::string checkProgramSwitchesDuringAudio(CheckContext& context);

// OpcodeChecks.cpp
std::string checkOpcodeFuzz(CheckContext& context);
std::string checkOpcodeFuzzNullPointers(CheckContext& context);

// EditorChecks.cpp
std::string checkEditorCycles(CheckContext& context);
std::string checkEditorCyclesDuringAudio(CheckContext& context);

// StateChecks.cpp
std::string checkStateRoundTrip(CheckContext& context);
