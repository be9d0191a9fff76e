#include "tools/render/DemoSignal.h"

#include <cmath>
#include <random>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kSeconds = 6.0;
}  // namespace

DemoSignal::DemoSignal() : samples(static_cast<std::size_t>(kSeconds * kRate), 0.0) {
  // A minor phrase, one note every 0.3 s, the last held.
  const double notes[] = {220.0, 261.63, 329.63, 392.0, 329.63, 261.63, 293.66, 246.94, 220.0};
  for (std::size_t i = 0; i < sizeof notes / sizeof notes[0]; ++i)
    addPluck(0.1 + 0.3 * static_cast<double>(i), notes[i], 0.45);
  for (double at : {3.0, 3.25, 3.5}) addClick(at, 0.8);
  addSweep(3.8, 1.4, 0.3);
  // It ends on a held chord, so whatever the render shows last (the editor's meters and
  // goniometer trace) shows sound rather than silence.
  for (double frequency : {110.0, 164.81, 220.0}) addTone(5.2, kSeconds - 5.2, frequency, 0.3);
}

// A plucked string: a burst of noise circulating in a delay of one period, averaged as it
// goes round so the high partials die first.
void DemoSignal::addPluck(double startSeconds, double frequency, double level) {
  std::mt19937 random(static_cast<unsigned>(frequency * 100.0));
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  auto period = static_cast<std::size_t>(kRate / frequency);
  std::vector<double> string(period);
  for (double& sample : string) sample = noise(random);
  auto start = static_cast<std::size_t>(startSeconds * kRate);
  auto length = static_cast<std::size_t>(1.5 * kRate);
  for (std::size_t i = 0; i < length && start + i < samples.size(); ++i) {
    std::size_t here = i % period;
    std::size_t next = (i + 1) % period;
    samples[start + i] += level * string[here];
    string[here] = 0.996 * 0.5 * (string[here] + string[next]);
  }
}

void DemoSignal::addClick(double atSeconds, double level) {
  auto at = static_cast<std::size_t>(atSeconds * kRate);
  for (std::size_t i = 0; i < 64 && at + i < samples.size(); ++i)
    samples[at + i] += level * std::exp(-static_cast<double>(i) / 8.0) * (i % 2 == 0 ? 1.0 : -1.0);
}

// Exponential sweep with short fades so it starts and stops without a click.
void DemoSignal::addSweep(double startSeconds, double seconds, double level) {
  const double from = 100.0, to = 8000.0;
  auto start = static_cast<std::size_t>(startSeconds * kRate);
  auto length = static_cast<std::size_t>(seconds * kRate);
  double growth = std::log(to / from);
  for (std::size_t i = 0; i < length && start + i < samples.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double phase = 2.0 * kPi * from * seconds / growth * (std::exp(growth * t / seconds) - 1.0);
    double fade = std::fmin(1.0, std::fmin(t, seconds - t) / 0.05);
    samples[start + i] += level * fade * std::sin(phase);
  }
}

// A steady sine that fades in and is still sounding at the end of the signal.
void DemoSignal::addTone(double startSeconds, double seconds, double frequency, double level) {
  auto start = static_cast<std::size_t>(startSeconds * kRate);
  auto length = static_cast<std::size_t>(seconds * kRate);
  for (std::size_t i = 0; i < length && start + i < samples.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    samples[start + i] += level * std::fmin(1.0, t / 0.1) * std::sin(2.0 * kPi * frequency * t);
  }
}

int DemoSignal::read(float* const* channels, int frames) { return readInto(channels[0], frames); }

int DemoSignal::read(double* const* channels, int frames) { return readInto(channels[0], frames); }

template <typename Sample>
int DemoSignal::readInto(Sample* mono, int frames) {
  int count = 0;
  while (count < frames && position < samples.size())
    mono[count++] = static_cast<Sample>(samples[position++]);
  return count;
}
