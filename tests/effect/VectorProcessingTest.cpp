// Processing in vectors gives the outputs of processing one sample at a time, bit for bit: where a
// tap lies too few samples back for a vector, where a tap reads a whole line back, at every block
// size around the vector widths, across parameter changes between any two samples, where the
// input's history moves to the front, and for buffers that overlap.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "effect/Lumivane.h"
#include "effect/ValueTag.h"
#include "tests/effect/RecordingEditor.h"

namespace {

using Change = std::pair<VstInt32, float>;  // parameter index and value

// One block: the parameter changes before it and its size.
struct Block {
  std::vector<Change> changes;
  VstInt32 frames;
};

struct Scenario {
  const char* name;
  float rate;
  std::vector<Block> blocks;
};

// A value that puts a tap `samples` back: the product with the line's length truncates to it.
float preDelayFor(int samples) { return (static_cast<float>(samples) + 0.5f) / 44.0f; }
float expressionFor(int samples) { return (static_cast<float>(samples) + 0.5f) / 1763.0f; }

// Short taps on one line with the other passed by, blocks of 1 to 9 samples and longer ones.
std::vector<Block> shortTaps(bool preDelayLine) {
  std::vector<Block> blocks;
  const VstInt32 sizes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 33, 64};
  for (int samples = 1; samples <= 5; ++samples) {
    const std::vector<Change> taps =
        preDelayLine ? std::vector<Change>{{0, preDelayFor(samples)}, {1, 0.0f}}
                     : std::vector<Change>{{0, 0.0f}, {1, expressionFor(samples)}};
    for (VstInt32 frames : sizes)
      blocks.push_back({frames == 1 ? taps : std::vector<Change>{}, frames});
  }
  return blocks;
}

// New values for every parameter between blocks of 1 to 9 samples, so that changes fall between
// any two samples of a vector.
std::vector<Block> changesEverywhere() {
  std::mt19937 random(3);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  std::vector<Block> blocks;
  for (int i = 0; i < 200; ++i) {
    std::vector<Change> changes;
    for (VstInt32 index = 0; index < 6; ++index) changes.push_back({index, unit(random)});
    blocks.push_back({changes, 1 + i % 9});
  }
  return blocks;
}

// Long blocks of odd sizes: the history moves to the front many times, in the middle of blocks.
std::vector<Block> longStream() {
  std::vector<Block> blocks{
      {{{0, 0.6f}, {1, 0.3f}, {2, 0.4f}, {3, 0.5f}, {4, 0.7f}, {5, 0.9f}}, 2999}};
  for (int i = 0; i < 30; ++i) blocks.push_back({{}, 1000 + 333 * (i % 7)});
  return blocks;
}

const std::vector<Change> kBusy = {{0, 0.4f}, {1, 0.6f}, {2, 0.7f},
                                   {3, 0.2f}, {4, 0.8f}, {5, 0.9f}};

const Scenario kScenarios[] = {
    {"pre-delay taps 1 to 5 samples back", 44100.0f, shortTaps(true)},
    {"expression taps 1 to 5 samples back", 44100.0f, shortTaps(false)},
    // 0.01 x 44 and 0.01 x 44 + 0.0001 x 1763 both truncate to 0: each tap a whole line back.
    {"taps a whole line back", 44100.0f, {{{{0, 0.01f}, {1, 0.0001f}}, 2000}, {{}, 5}, {{}, 999}}},
    {"changes between any two samples", 44100.0f, changesEverywhere()},
    {"the history moving to the front", 44100.0f, longStream()},
    {"the history moving to the front at 8 kHz", 8000.0f, longStream()},
    {"short lines at 8 kHz, blocks of 1 to 9", 8000.0f,
     [] {
       std::vector<Block> blocks{{kBusy, 1}};
       for (int i = 0; i < 300; ++i) blocks.push_back({{}, 1 + i % 9});
       return blocks;
     }()},
};

template <typename Sample>
struct Outputs {
  std::vector<Sample> left, right;
  std::vector<float> side, mid;  // the goniometer points sent
  std::vector<double> peaks;     // both peaks after every block
};

// Plays a scenario through an effect that uses vectors of at most `width` samples.
template <typename Sample>
Outputs<Sample> play(const Scenario& scenario, VstInt32 width) {
  Lumivane effect(nullptr);
  auto* editor = new RecordingEditor(&effect);
  effect.setEditor(editor);
  effect.setSampleRate(scenario.rate);
  effect.limitVectorWidth(width);
  std::mt19937 random(11);
  std::uniform_real_distribution<float> amplitude(-1.0f, 1.0f);
  Outputs<Sample> out;
  for (const Block& block : scenario.blocks) {
    for (const Change& change : block.changes) effect.setParameter(change.first, change.second);
    std::vector<Sample> input(static_cast<std::size_t>(block.frames));
    for (Sample& sample : input) sample = amplitude(random);
    std::vector<Sample> left(input.size()), right(input.size());
    Sample* inputs[] = {input.data()};
    Sample* outputs[] = {left.data(), right.data()};
    editor->values.clear();
    if constexpr (std::is_same_v<Sample, float>)
      effect.processReplacing(inputs, outputs, block.frames);
    else
      effect.processDoubleReplacing(inputs, outputs, block.frames);
    out.left.insert(out.left.end(), left.begin(), left.end());
    out.right.insert(out.right.end(), right.begin(), right.end());
    for (float value : editor->valuesOf(kTagPointSide)) out.side.push_back(value);
    for (float value : editor->valuesOf(kTagPointMid)) out.mid.push_back(value);
    out.peaks.push_back(effect.getPeakLeft());
    out.peaks.push_back(effect.getPeakRight());
  }
  return out;
}

// Outputs, goniometer points and peaks are the same at every width; only the correlation is
// summed in lanes and may differ by rounding (see BulkFeedTest).
template <typename Sample>
void expectEveryWidthAlike(const Scenario& scenario) {
  SCOPED_TRACE(scenario.name);
  const Outputs<Sample> single = play<Sample>(scenario, 1);
  for (VstInt32 width : {2, 4}) {
    SCOPED_TRACE(width);
    const Outputs<Sample> vectors = play<Sample>(scenario, width);
    ASSERT_EQ(vectors.left.size(), single.left.size());
    for (std::size_t i = 0; i < single.left.size(); ++i) {
      ASSERT_EQ(vectors.left[i], single.left[i]) << "sample " << i;
      ASSERT_EQ(vectors.right[i], single.right[i]) << "sample " << i;
    }
    EXPECT_EQ(vectors.side, single.side);
    EXPECT_EQ(vectors.mid, single.mid);
    EXPECT_EQ(vectors.peaks, single.peaks);
  }
}

TEST(VectorProcessing, EveryWidthGivesTheOutputsOfOneSampleAtATime) {
  for (const Scenario& scenario : kScenarios) {
    expectEveryWidthAlike<float>(scenario);
    expectEveryWidthAlike<double>(scenario);
  }
}

TEST(VectorProcessing, TheWidthFollowsTheProcessor) {
  Lumivane effect(nullptr);
  const VstInt32 widest = effect.getVectorWidth();
  EXPECT_TRUE(widest == 2 || widest == 4) << widest;
  const std::pair<VstInt32, VstInt32> limits[] = {{1, 1},       {2, 2}, {3, 2}, {4, widest},
                                                  {64, widest}, {0, 1}, {-5, 1}};
  for (const auto& [asked, given] : limits) {
    effect.limitVectorWidth(asked);
    EXPECT_EQ(effect.getVectorWidth(), given) << asked;
  }
}

// A host whose buffers overlap without being the same (an output one sample after the input, the
// right output one sample after the left) gets what the sample order gives: each input sample read
// before that sample's outputs are written.
TEST(VectorProcessing, OverlappingBuffersKeepTheSampleOrder) {
  const VstInt32 frames = 300;
  std::mt19937 random(5);
  std::uniform_real_distribution<float> amplitude(-1.0f, 1.0f);
  std::vector<float> source(frames + 2);
  for (float& sample : source) sample = amplitude(random);
  // Offsets into one piece of memory that holds the input first and room for outputs after it.
  struct Layout {
    const char* name;
    std::size_t left, right;
  };
  const Layout layouts[] = {{"left one sample after the input", 1, frames + 2},
                            {"right one sample after left", frames + 2, frames + 3}};
  const auto run = [&](VstInt32 width, const Layout& layout) {
    Lumivane effect(nullptr);
    for (const Change& change : kBusy) effect.setParameter(change.first, change.second);
    effect.limitVectorWidth(width);
    std::vector<float> memory = source;
    memory.resize(2 * source.size() + 2);
    float* inputs[] = {memory.data()};
    float* outputs[] = {memory.data() + layout.left, memory.data() + layout.right};
    effect.processReplacing(inputs, outputs, frames);
    return memory;
  };
  for (const Layout& layout : layouts) {
    const std::vector<float> single = run(1, layout);
    for (VstInt32 width : {2, 4}) EXPECT_EQ(run(width, layout), single) << layout.name << width;
  }
}

}  // namespace
