// Lumivane.dll as a Windows host meets it: loaded with LoadLibrary, reached through its exported
// entry points and the AEffect record, its editor opened as the child of a real top-level window,
// painted by GDI, driven by real mouse and keyboard input (SendInput from a second thread while
// this one pumps messages), and read back from the screen.

#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "editor/EditorLayout.h"
#include "host/VstInterface.h"
#include "tests/windows/HostWindow.h"
#include "tests/windows/InputDriver.h"
#include "tests/windows/PluginInstance.h"
#include "tests/windows/ScreenImage.h"

namespace layout = editor_layout;

namespace {

constexpr int kEditorWidth = 752;
constexpr int kEditorHeight = 160;
// Where the host windows stand on the screen: away from the origin, so that every conversion
// between screen and window coordinates is exercised, and apart, so that they never overlap.
constexpr int kHostX = 40;
constexpr int kHostY = 60;
constexpr int kSecondHostY = 300;
// The opened editor as the raster backend draws it, once its meters have settled.
const char kReferencePicture[] = LUMIVANE_SOURCE_DIR "/tests/reference/editor-opened.png";
// Host idles (20 ms apart) after which every meter has fallen to its level.
constexpr int kSettlingMilliseconds = 800;

PixelRect pixelRect(const gui::CViewRect& rect) {
  return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

POINT centreOf(const gui::CViewRect& rect) {
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::vector<PixelRect> fieldRects() {
  std::vector<PixelRect> rects;
  for (const gui::CViewRect& rect : layout::kFieldRects) rects.push_back(pixelRect(rect));
  return rects;
}

bool hasOpcode(const std::vector<HostEvent>& events, VstInt32 opcode) {
  for (const HostEvent& event : events) {
    if (event.opcode == opcode) return true;
  }
  return false;
}

std::string describe(const std::vector<HostEvent>& events) {
  std::string text;
  for (const HostEvent& event : events) {
    char line[64];
    std::snprintf(line, sizeof(line), "(%d, %d, %g) ", int(event.opcode), int(event.index),
                  double(event.value));
    text += line;
  }
  return text;
}

// The gesture's report to the host: begin edit, one or more automations, end edit, all for
// `index` and nothing else.
void expectOneGesture(const std::vector<HostEvent>& events, VstInt32 index) {
  ASSERT_GE(events.size(), 3u) << describe(events);
  EXPECT_EQ(events.front().opcode, audioMasterBeginEdit) << describe(events);
  EXPECT_EQ(events.back().opcode, audioMasterEndEdit) << describe(events);
  EXPECT_TRUE(hasOpcode(events, audioMasterAutomate)) << describe(events);
  for (size_t i = 1; i + 1 < events.size(); ++i) {
    EXPECT_EQ(events[i].opcode, audioMasterAutomate) << describe(events);
  }
  for (const HostEvent& event : events) EXPECT_EQ(event.index, index) << describe(events);
}

class WindowsHost : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    OleInitialize(nullptr);
    library = new PluginLibrary(LUMIVANE_PLUGIN_PATH);
  }
  static void TearDownTestSuite() {
    delete library;
    library = nullptr;
    OleUninitialize();
  }
  void SetUp() override { ASSERT_TRUE(library->isLoaded()) << "cannot load " LUMIVANE_PLUGIN_PATH; }

  // An editor of a second effect in a window of its own, with the parameters a host set: what
  // the first editor must show when it shows the same values.
  ScreenImage referenceEditor(const std::vector<std::pair<VstInt32, float>>& values) {
    PluginInstance reference(*library);
    for (const auto& [index, value] : values) reference.setParameter(index, value);
    HostWindow window(kHostX, kSecondHostY, kEditorWidth, kEditorHeight);
    EXPECT_TRUE(window.openEditor(reference));
    pumpMessages(100, &reference);
    ScreenImage image = ScreenImage::capture(window.editorWindow());
    reference.dispatch(effEditClose);
    return image;
  }

  static PluginLibrary* library;
};

PluginLibrary* WindowsHost::library = nullptr;

// --- The library and its record -------------------------------------------------------------

TEST_F(WindowsHost, BothEntryNamesGiveTheSameEffect) {
  for (const char* name : {"VSTPluginMain", "main"}) {
    PluginInstance plugin(*library, name);
    AEffect* effect = plugin.effect();
    ASSERT_NE(effect, nullptr) << name;
    EXPECT_EQ(effect->magic, kEffectMagic);
    EXPECT_EQ(effect->uniqueID, 0x3E51A7C2);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->numPrograms, 16);
    EXPECT_EQ(effect->numParams, 6);
    EXPECT_EQ(effect->flags, 0x1011);
    EXPECT_EQ(plugin.text(effGetEffectName), "Lumivane");
    EXPECT_EQ(plugin.text(effGetProductString), "Lumivane");
    EXPECT_EQ(plugin.text(effGetVendorString), "Velmora");
    EXPECT_EQ(plugin.dispatch(effGetVendorVersion), 2000);
    EXPECT_EQ(plugin.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(plugin.dispatch(effGetPlugCategory), 5);
  }
  EXPECT_EQ(library->entry("main"), library->entry("VSTPluginMain"));
}

// The default program at 44.1 kHz: the left output is the input, the right output the input
// 881 samples later (1 ms of pre-delay and 19 ms of expression).
template <typename Sample>
void expectDefaultImpulseResponse(PluginInstance& plugin) {
  constexpr int kFrames = 2048;
  std::vector<Sample> input(kFrames, Sample(0)), left(kFrames, Sample(-1)),
      right(kFrames, Sample(-1));
  input[0] = Sample(1);
  Sample* inputs[] = {input.data(), input.data()};
  Sample* outputs[] = {left.data(), right.data()};
  AEffect* effect = plugin.effect();
  if constexpr (sizeof(Sample) == sizeof(float)) {
    effect->processReplacing(effect, inputs, outputs, kFrames);
  } else {
    effect->processDoubleReplacing(effect, inputs, outputs, kFrames);
  }
  for (int i = 0; i < kFrames; ++i) {
    ASSERT_EQ(left[i], i == 0 ? Sample(1) : Sample(0)) << i;
    ASSERT_EQ(right[i], i == 881 ? Sample(1) : Sample(0)) << i;
  }
}

TEST_F(WindowsHost, ImpulseResponseThroughBothProcessFunctions) {
  PluginInstance single(*library);
  single.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  single.dispatch(effMainsChanged, 0, 1);
  expectDefaultImpulseResponse<float>(single);
  PluginInstance twice(*library);
  twice.dispatch(effMainsChanged, 0, 1);
  expectDefaultImpulseResponse<double>(twice);
}

// --- The editor in a real window ---------------------------------------------------------------

TEST_F(WindowsHost, EditorOpensInTheHostWindowAndLooksLikeTheRasterPicture) {
  PluginInstance plugin(*library);
  ERect* rect = nullptr;
  ASSERT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, kEditorWidth);
  EXPECT_EQ(rect->bottom - rect->top, kEditorHeight);

  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(window.openEditor(plugin));
  HWND editor = window.editorWindow();
  ASSERT_NE(editor, nullptr);
  RECT client{};
  GetClientRect(editor, &client);
  EXPECT_EQ(client.right, kEditorWidth);
  EXPECT_EQ(client.bottom, kEditorHeight);

  pumpMessages(kSettlingMilliseconds, &plugin);
  const ScreenImage shown = ScreenImage::capture(editor);
  shown.save(LUMIVANE_SCREENSHOT_PATH);
  const ScreenImage raster = ScreenImage::load(kReferencePicture);
  ASSERT_FALSE(raster.empty()) << "no reference picture";
  const long outsideFields = shown.countDifferences(raster, fieldRects());
  long insideFields = 0;
  for (const PixelRect& field : fieldRects()) insideFields += shown.countDifferences(raster, field);
  std::printf(
      "Editor under GDI against the raster picture: %ld pixels differ outside the text "
      "fields, %ld inside them (fonts differ); screenshot %s\n",
      outsideFields, insideFields, LUMIVANE_SCREENSHOT_PATH);
  EXPECT_EQ(outsideFields, 0);
  plugin.dispatch(effEditClose);
}

TEST_F(WindowsHost, DraggingKnobSixAutomatesParameterFiveAndItsFieldFollows) {
  PluginInstance plugin(*library);
  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(window.openEditor(plugin));
  const float before = plugin.parameter(5);
  const ScreenImage beforeImage = ScreenImage::capture(window.editorWindow());
  plugin.clearEdits();

  // Round the knob's centre from its lower left to its top: the pointed angle sets the value.
  const POINT centre = centreOf(layout::kKnobRects[5]);
  const POINT start = window.toScreen(centre.x - 20, centre.y + 12);
  const POINT end = window.toScreen(centre.x + 4, centre.y - 22);
  InputDriver driver([&] {
    InputDriver::moveTo(start.x, start.y);
    InputDriver::pressLeft();
    for (int step = 1; step <= 8; ++step) {
      InputDriver::moveTo(start.x + (end.x - start.x) * step / 8,
                          start.y + (end.y - start.y) * step / 8);
    }
    InputDriver::pause(60);
    InputDriver::releaseLeft();
  });
  ASSERT_TRUE(pumpUntil([&] { return driver.done(); }, 5000, &plugin));
  pumpMessages(200, &plugin);

  expectOneGesture(plugin.edits(), 5);
  const float after = plugin.parameter(5);
  EXPECT_NE(after, before);
  EXPECT_EQ(plugin.edits()[plugin.edits().size() - 2].value, after);
  EXPECT_GT(plugin.idleRequests(), 0) << "the drag loop gives the host idle time";

  const ScreenImage shown = ScreenImage::capture(window.editorWindow());
  const PixelRect field = pixelRect(layout::kFieldRects[5]);
  EXPECT_GT(shown.countDifferences(beforeImage, field), 0) << "the field still shows the old value";
  EXPECT_EQ(shown.countDifferences(referenceEditor({{5, after}}), field), 0)
      << "field 6 does not show " << after;
  plugin.dispatch(effEditClose);
}

class FieldTyping : public WindowsHost {
 protected:
  void SetUp() override {
    WindowsHost::SetUp();
    plugin = std::make_unique<PluginInstance>(*library);
    window = std::make_unique<HostWindow>(kHostX, kHostY, kEditorWidth, kEditorHeight);
    ASSERT_TRUE(window->openEditor(*plugin));
    plugin->clearEdits();
  }
  void TearDown() override {
    plugin->dispatch(effEditClose);
    window.reset();
    plugin.reset();
  }
  // Clicks field 4, types, and ends with `finalKey`.
  void typeIntoFieldFour(const std::string& text, WORD finalKey) {
    const POINT field = centreOf(layout::kFieldRects[3]);
    const POINT at = window->toScreen(field.x, field.y);
    InputDriver driver([&] {
      InputDriver::clickAt(at.x, at.y);
      InputDriver::pause(150);
      InputDriver::type(text);
      InputDriver::key(finalKey);
    });
    ASSERT_TRUE(pumpUntil([&] { return driver.done(); }, 5000, plugin.get()));
    pumpMessages(200, plugin.get());
  }
  std::unique_ptr<PluginInstance> plugin;
  std::unique_ptr<HostWindow> window;
};

TEST_F(FieldTyping, TypingAValueAndEnterSetsTheParameterAndTheFieldShowsIt) {
  typeIntoFieldFour("250", VK_RETURN);
  EXPECT_EQ(plugin->parameter(3), 1.0f);
  const std::vector<HostEvent> edits = plugin->edits();
  expectOneGesture(edits, 3);
  EXPECT_EQ(edits.size(), 3u) << describe(edits);
  const ScreenImage shown = ScreenImage::capture(window->editorWindow());
  EXPECT_EQ(shown.countDifferences(referenceEditor({{3, 1.0f}}), pixelRect(layout::kFieldRects[3])),
            0)
      << "field 4 does not show 100";
  EXPECT_EQ(GetWindow(window->editorWindow(), GW_CHILD), nullptr) << "the entry box stays open";
}

TEST_F(FieldTyping, EscapeLeavesTheValueAsItWas) {
  const float before = plugin->parameter(3);
  typeIntoFieldFour("7", VK_ESCAPE);
  EXPECT_EQ(plugin->parameter(3), before);
  EXPECT_FALSE(hasOpcode(plugin->edits(), audioMasterAutomate)) << describe(plugin->edits());
  const ScreenImage shown = ScreenImage::capture(window->editorWindow());
  EXPECT_EQ(shown.countDifferences(referenceEditor({}), pixelRect(layout::kFieldRects[3])), 0);
}

TEST_F(WindowsHost, AWheelNotchMovesAKnobOneStepAndHostValuesShowAfterTheNextIdle) {
  PluginInstance plugin(*library);
  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(window.openEditor(plugin));
  const float before = plugin.parameter(1);
  const POINT knob = centreOf(layout::kKnobRects[1]);
  const POINT at = window.toScreen(knob.x, knob.y);
  InputDriver driver([&] {
    InputDriver::moveTo(at.x, at.y);
    InputDriver::wheel(1);
  });
  ASSERT_TRUE(pumpUntil([&] { return driver.done(); }, 5000, &plugin));
  pumpMessages(150, &plugin);
  EXPECT_FLOAT_EQ(plugin.parameter(1), std::fmin(1.0f, before + 0.1f));

  plugin.setParameter(1, 0.25f);
  pumpMessages(100, &plugin);
  const ScreenImage shown = ScreenImage::capture(window.editorWindow());
  const ScreenImage reference = referenceEditor({{1, 0.25f}});
  EXPECT_EQ(shown.countDifferences(reference, pixelRect(layout::kKnobRects[1])), 0);
  EXPECT_EQ(shown.countDifferences(reference, pixelRect(layout::kFieldRects[1])), 0);
  plugin.dispatch(effEditClose);
}

// --- Opening, closing and the window's life ------------------------------------------------------

BOOL CALLBACK countWindow(HWND window, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  EnumChildWindows(window, countWindow, count);
  return TRUE;
}

// GDI objects where GetGuiResources is not implemented (Wine answers 0): handles are slots of a
// table, taken from the freed ones before the table grows, so the highest slot that a batch of
// new objects gets rises only when objects were kept, not when they come and go.
DWORD gdiHighWaterMark() {
  std::vector<HBRUSH> probes;
  DWORD highest = 0;
  for (int i = 0; i < 512; ++i) {
    HBRUSH brush = CreateSolidBrush(RGB(i, 0, 0));
    highest = std::max<DWORD>(highest, DWORD(reinterpret_cast<uintptr_t>(brush) & 0xFFFF));
    probes.push_back(brush);
  }
  for (HBRUSH brush : probes) DeleteObject(brush);
  return highest;
}

// The GDI and USER objects the process holds: GetGuiResources, or where the system does not
// implement it, the GDI handle table's high-water mark and the windows of this thread.
struct GuiObjects {
  GuiObjects() {
    gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (gdi == 0) gdi = gdiHighWaterMark();
    if (user == 0)
      EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&user));
  }
  DWORD gdi = 0;
  DWORD user = 0;
};

TEST_F(WindowsHost, TwoHundredEditorCyclesWhileAudioRunsLeakNothing) {
  PluginInstance plugin(*library);
  plugin.dispatch(effMainsChanged, 0, 1);
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::vector<float> input(256), left(256), right(256);
    float* inputs[] = {input.data(), input.data()};
    float* outputs[] = {left.data(), right.data()};
    float phase = 0.0f;
    while (!stop.load()) {
      for (float& sample : input) sample = std::sin(phase += 0.05f);
      plugin.effect()->processReplacing(plugin.effect(), inputs, outputs, 256);
      Sleep(1);
    }
  });
  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  auto cycle = [&] {
    ASSERT_EQ(plugin.dispatch(effEditOpen, 0, 0, window.handle()), 1);
    pumpMessages(25, &plugin);
    plugin.dispatch(effEditIdle);
    plugin.dispatch(effEditClose);
    pumpMessages(2);
  };
  cycle();
  const GuiObjects first;
  for (int i = 1; i < 200; ++i) cycle();
  const GuiObjects last;
  stop.store(true);
  audio.join();
  std::printf("GDI objects %lu -> %lu, USER objects %lu -> %lu over 200 editor cycles\n", first.gdi,
              last.gdi, first.user, last.user);
  EXPECT_LE(last.gdi, first.gdi);
  EXPECT_LE(last.user, first.user);
  EXPECT_EQ(window.editorWindow(), nullptr);
}

std::string classNameOf(HMODULE module) {
  char name[32];
  std::snprintf(name, sizeof(name), "Plugin%p", static_cast<void*>(module));
  return name;
}

TEST_F(WindowsHost, TwoEditorsShareTheWindowClassUntilTheLastCloses) {
  HMODULE module = GetModuleHandleA("Lumivane.dll");
  ASSERT_NE(module, nullptr);
  WNDCLASSA windowClass;
  const std::string name = classNameOf(module);
  PluginInstance first(*library), second(*library);
  HostWindow firstWindow(kHostX, kHostY, kEditorWidth, kEditorHeight);
  HostWindow secondWindow(kHostX, kSecondHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(firstWindow.openEditor(first));
  ASSERT_TRUE(secondWindow.openEditor(second));
  EXPECT_TRUE(GetClassInfoA(module, name.c_str(), &windowClass));
  first.dispatch(effEditClose);
  EXPECT_TRUE(GetClassInfoA(module, name.c_str(), &windowClass))
      << "the second editor still uses it";
  pumpMessages(kSettlingMilliseconds, &second);
  EXPECT_EQ(ScreenImage::capture(secondWindow.editorWindow())
                .countDifferences(ScreenImage::load(kReferencePicture), fieldRects()),
            0);
  second.dispatch(effEditClose);
  EXPECT_FALSE(GetClassInfoA(module, name.c_str(), &windowClass));
}

TEST_F(WindowsHost, HostWindowDestroyedBeforeCloseLeavesAnEditorThatClosesAndReopens) {
  PluginInstance plugin(*library);
  {
    HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
    ASSERT_TRUE(window.openEditor(plugin));
  }
  pumpMessages(50, &plugin);
  plugin.dispatch(effEditIdle);
  plugin.dispatch(effEditClose);
  HostWindow again(kHostX, kHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(again.openEditor(plugin));
  EXPECT_NE(again.editorWindow(), nullptr);
  plugin.dispatch(effEditClose);
}

TEST_F(WindowsHost, NoWindowOrNotAWindowOpensNothing) {
  PluginInstance plugin(*library);
  EXPECT_EQ(plugin.dispatch(effEditClose), 0);  // never opened
  EXPECT_EQ(plugin.dispatch(effEditOpen, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x4242)), 0);
  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  EXPECT_EQ(window.editorWindow(), nullptr);
  plugin.dispatch(effEditIdle);
  EXPECT_EQ(plugin.dispatch(effEditClose), 0);
}

// The test program carries images of its own under the same type and ids (8 x 8 pixels); the
// editor still takes the library's, whose background is 752 x 160.
TEST_F(WindowsHost, ImagesComeFromTheLibraryNotFromTheHostProgram) {
  ASSERT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(128), "PNG"), nullptr);
  PluginInstance plugin(*library);
  ERect* rect = nullptr;
  ASSERT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right - rect->left, kEditorWidth);
  EXPECT_EQ(rect->bottom - rect->top, kEditorHeight);
}

}  // namespace
