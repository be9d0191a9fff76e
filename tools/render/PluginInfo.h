#pragma once

class PluginLibrary;

// Prints what an opened plug-in says about itself: its identity, category, channels, flags,
// latency and tail, every parameter (name, display text and label of its current value) and every
// program. `sampleRate` is the rate it was opened at, which the tail is told in.
void printPluginInfo(const PluginLibrary& plugin, double sampleRate);
