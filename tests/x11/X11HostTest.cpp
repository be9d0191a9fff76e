// lumivane.so as a Linux host meets it: loaded with dlopen, reached through VSTPluginMain and
// the AEffect record, its editor opened inside a real X11 top-level window (effEditOpen with the
// window id), idled every 20 ms, read back from the screen with XGetImage and driven by real
// pointer and keyboard input (XTest from a second connection, on a second thread, while this
// thread idles the editor). Skipped without a display, and failed instead where
// LUMIVANE_REQUIRE_DISPLAY is set: scripts/test runs them under xvfb-run with it.

#include <X11/keysym.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "editor/EditorLayout.h"
#include "tests/x11/HostWindow.h"
#include "tests/x11/InputDriver.h"
#include "tests/x11/PluginInstance.h"
#include "tests/x11/ScreenImage.h"

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
// Host idles (20 ms apart) after which every meter has fallen to its level: 30 of them.
constexpr int kSettlingMilliseconds = 800;

PixelRect pixelRect(const gui::CViewRect& rect) {
  return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

std::vector<PixelRect> fieldRects() {
  std::vector<PixelRect> rects;
  for (const gui::CViewRect& rect : layout::kFieldRects) rects.push_back(pixelRect(rect));
  return rects;
}

int centreX(const gui::CViewRect& rect) { return (rect.left + rect.right) / 2; }
int centreY(const gui::CViewRect& rect) { return (rect.top + rect.bottom) / 2; }

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

// What the process holds that an editor might leak: open descriptors (each X connection is a
// socket) and shared memory segments it created (each MIT-SHM image is one).
int openDescriptors() {
  int count = 0;
  if (DIR* folder = opendir("/proc/self/fd")) {
    while (readdir(folder) != nullptr) ++count;
    closedir(folder);
  }
  return count;
}

int sharedSegmentsOfThisProcess() {
  std::ifstream table("/proc/sysvipc/shm");
  std::string line;
  std::getline(table, line);  // the heading
  int count = 0;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    long key, id, permissions, size, creator;
    if (fields >> key >> id >> permissions >> size >> creator && creator == long(getpid())) {
      ++count;
    }
  }
  return count;
}

class X11Host : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (HostWindow::display() != nullptr) library = new PluginLibrary(LUMIVANE_PLUGIN_PATH);
  }
  static void TearDownTestSuite() {
    delete library;
    library = nullptr;
  }
  void SetUp() override {
    if (HostWindow::display() == nullptr) {
      ASSERT_EQ(std::getenv("LUMIVANE_REQUIRE_DISPLAY"), nullptr) << "no X display";
      GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    ASSERT_TRUE(library->isLoaded()) << "cannot load " LUMIVANE_PLUGIN_PATH;
  }

  // An editor of a second effect in a window of its own, with the parameters a host set: what
  // the first editor must show when it shows the same values.
  ScreenImage referenceEditor(const std::vector<std::pair<VstInt32, float>>& values) {
    PluginInstance reference(*library);
    for (const auto& [index, value] : values) reference.setParameter(index, value);
    HostWindow window(kHostX, kSecondHostY, kEditorWidth, kEditorHeight);
    EXPECT_TRUE(window.openEditor(reference));
    pumpIdle(100, &reference);
    ScreenImage image = window.capture();
    reference.dispatch(effEditClose);
    return image;
  }

  static PluginLibrary* library;
};

PluginLibrary* X11Host::library = nullptr;

// Tests that play input need XTest besides the display.
class X11HostInput : public X11Host {
 protected:
  void SetUp() override {
    X11Host::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    if (!InputDriver::isAvailable()) {
      ASSERT_EQ(std::getenv("LUMIVANE_REQUIRE_DISPLAY"), nullptr) << "the display has no XTest";
      GTEST_SKIP() << "the display has no XTest";
    }
  }
};

// --- The editor in a host's window --------------------------------------------------------------

TEST_F(X11Host, EditorOpensInTheHostWindowAndLooksLikeTheRasterPicture) {
  PluginInstance plugin(*library);
  ERect* rect = nullptr;
  ASSERT_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, kEditorWidth);
  EXPECT_EQ(rect->bottom - rect->top, kEditorHeight);

  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(window.openEditor(plugin));
  ASSERT_EQ(window.childCount(), 1);
  XWindowAttributes editor{};
  ASSERT_TRUE(XGetWindowAttributes(HostWindow::display(), window.editorWindow(), &editor));
  EXPECT_EQ(editor.width, kEditorWidth);
  EXPECT_EQ(editor.height, kEditorHeight);
  EXPECT_EQ(editor.map_state, IsViewable);

  pumpIdle(kSettlingMilliseconds, &plugin);
  const ScreenImage shown = window.capture();
  shown.save(LUMIVANE_SCREENSHOT_PATH);
  const ScreenImage raster = ScreenImage::load(kReferencePicture);
  ASSERT_FALSE(raster.empty()) << "no reference picture";
  const long outsideFields = shown.countDifferences(raster, fieldRects());
  long insideFields = 0;
  for (const PixelRect& field : fieldRects()) insideFields += shown.countDifferences(raster, field);
  std::printf(
      "Editor in an X11 window against the raster picture: %ld pixels differ outside the text "
      "fields, %ld inside them; screenshot %s\n",
      outsideFields, insideFields, LUMIVANE_SCREENSHOT_PATH);
  EXPECT_EQ(outsideFields, 0);
  EXPECT_EQ(insideFields, 0);
  plugin.dispatch(effEditClose);
  EXPECT_EQ(window.childCount(), 0);
}

// An exposure (a window laid over the editor and taken away) is painted again from the back
// buffer at the next idle.
TEST_F(X11Host, AnExposedAreaIsPaintedAgain) {
  PluginInstance plugin(*library);
  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(window.openEditor(plugin));
  pumpIdle(kSettlingMilliseconds, &plugin);
  const ScreenImage before = window.capture();
  {
    HostWindow cover(kHostX + 100, kHostY + 20, 300, 100);
    EXPECT_GT(window.capture().countDifferences(before), 0) << "the cover window did not show";
  }
  pumpIdle(100, &plugin);
  EXPECT_EQ(window.capture().countDifferences(before), 0);
  plugin.dispatch(effEditClose);
}

TEST_F(X11HostInput, DraggingKnobSixAutomatesParameterFiveAndItsFieldFollows) {
  PluginInstance plugin(*library);
  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(window.openEditor(plugin));
  const float before = plugin.parameter(5);
  const ScreenImage beforeImage = window.capture();
  plugin.clearEdits();

  // Round the knob's centre from its lower left to its top: the pointed angle sets the value.
  const gui::CViewRect& knob = layout::kKnobRects[5];
  const int startX = window.screenX(centreX(knob) - 20);
  const int startY = window.screenY(centreY(knob) + 12);
  const int endX = window.screenX(centreX(knob) + 4);
  const int endY = window.screenY(centreY(knob) - 22);
  InputDriver driver([&](InputDriver& input) {
    input.moveTo(startX, startY);
    input.pressLeft();
    for (int step = 1; step <= 8; ++step) {
      input.moveTo(startX + (endX - startX) * step / 8, startY + (endY - startY) * step / 8);
    }
    InputDriver::pause(60);
    input.releaseLeft();
  });
  ASSERT_TRUE(pumpUntil([&] { return driver.done(); }, 5000, &plugin));
  pumpIdle(200, &plugin);

  expectOneGesture(plugin.edits(), 5);
  const float after = plugin.parameter(5);
  EXPECT_NE(after, before);
  EXPECT_EQ(plugin.edits()[plugin.edits().size() - 2].value, after);
  EXPECT_GT(plugin.idleRequests(), 0) << "the drag loop gives the host idle time";

  const ScreenImage shown = window.capture();
  const PixelRect field = pixelRect(layout::kFieldRects[5]);
  EXPECT_GT(shown.countDifferences(beforeImage, field), 0) << "the field still shows the old value";
  EXPECT_EQ(shown.countDifferences(referenceEditor({{5, after}}), field), 0)
      << "field 6 does not show " << after;
  plugin.dispatch(effEditClose);
}

class FieldTyping : public X11HostInput {
 protected:
  void SetUp() override {
    X11HostInput::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    plugin = std::make_unique<PluginInstance>(*library);
    window = std::make_unique<HostWindow>(kHostX, kHostY, kEditorWidth, kEditorHeight);
    ASSERT_TRUE(window->openEditor(*plugin));
    plugin->clearEdits();
  }
  void TearDown() override {
    if (plugin) plugin->dispatch(effEditClose);
    window.reset();
    plugin.reset();
  }
  // Clicks field 4, types, and ends with `finalKey`.
  void typeIntoFieldFour(const std::string& text, KeySym finalKey) {
    const gui::CViewRect& field = layout::kFieldRects[3];
    const int x = window->screenX(centreX(field));
    const int y = window->screenY(centreY(field));
    InputDriver driver([&](InputDriver& input) {
      input.clickAt(x, y);
      InputDriver::pause(150);
      input.type(text);
      input.key(finalKey);
    });
    ASSERT_TRUE(pumpUntil([&] { return driver.done(); }, 5000, plugin.get()));
    pumpIdle(200, plugin.get());
  }
  std::unique_ptr<PluginInstance> plugin;
  std::unique_ptr<HostWindow> window;
};

TEST_F(FieldTyping, TypingAValueAndEnterSetsTheParameterAndTheFieldShowsIt) {
  typeIntoFieldFour("250", XK_Return);
  EXPECT_EQ(plugin->parameter(3), 1.0f);
  const std::vector<HostEvent> edits = plugin->edits();
  expectOneGesture(edits, 3);
  EXPECT_EQ(edits.size(), 3u) << describe(edits);
  EXPECT_EQ(window->capture().countDifferences(referenceEditor({{3, 1.0f}}),
                                               pixelRect(layout::kFieldRects[3])),
            0)
      << "field 4 does not show 100";
}

TEST_F(FieldTyping, WhileTheEntryIsOpenItShowsWhatIsTyped) {
  pumpIdle(kSettlingMilliseconds, plugin.get());
  const ScreenImage before = window->capture();
  const gui::CViewRect& field = layout::kFieldRects[3];
  InputDriver driver([&](InputDriver& input) {
    input.clickAt(window->screenX(centreX(field)), window->screenY(centreY(field)));
    InputDriver::pause(150);
    input.type("7");
  });
  ASSERT_TRUE(pumpUntil([&] { return driver.done(); }, 5000, plugin.get()));
  pumpIdle(100, plugin.get());
  const ScreenImage typing = window->capture();
  EXPECT_GT(typing.countDifferences(before, pixelRect(field)), 0) << "no entry box over field 4";
  EXPECT_EQ(typing.countDifferences(before, fieldRects()), 0) << "drawn outside the field";
  EXPECT_EQ(plugin->edits().size(), 1u) << "only the begin edit of the click";
}

TEST_F(FieldTyping, EscapeLeavesTheValueAsItWas) {
  const float before = plugin->parameter(3);
  typeIntoFieldFour("7", XK_Escape);
  EXPECT_EQ(plugin->parameter(3), before);
  EXPECT_FALSE(hasOpcode(plugin->edits(), audioMasterAutomate)) << describe(plugin->edits());
  EXPECT_EQ(
      window->capture().countDifferences(referenceEditor({}), pixelRect(layout::kFieldRects[3])),
      0);
}

TEST_F(X11HostInput, AWheelNotchMovesAKnobOneStepAndHostValuesShowAfterTheNextIdle) {
  PluginInstance plugin(*library);
  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(window.openEditor(plugin));
  const float before = plugin.parameter(1);
  const gui::CViewRect& knob = layout::kKnobRects[1];
  InputDriver driver([&](InputDriver& input) {
    input.moveTo(window.screenX(centreX(knob)), window.screenY(centreY(knob)));
    input.wheel(1);
  });
  ASSERT_TRUE(pumpUntil([&] { return driver.done(); }, 5000, &plugin));
  pumpIdle(150, &plugin);
  EXPECT_FLOAT_EQ(plugin.parameter(1), std::fmin(1.0f, before + 0.1f));

  plugin.setParameter(1, 0.25f);
  pumpIdle(100, &plugin);
  const ScreenImage shown = window.capture();
  const ScreenImage reference = referenceEditor({{1, 0.25f}});
  EXPECT_EQ(shown.countDifferences(reference, pixelRect(layout::kKnobRects[1])), 0);
  EXPECT_EQ(shown.countDifferences(reference, pixelRect(layout::kFieldRects[1])), 0);
  plugin.dispatch(effEditClose);
}

// --- Opening, closing and the window's life
// -------------------------------------------------------

TEST_F(X11Host, TwoHundredEditorCyclesWhileAudioRunsLeakNothing) {
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
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  int opened = 0;
  auto cycle = [&] {
    opened += plugin.openEditor(window.handle()) == 1 ? 1 : 0;
    pumpIdle(25, &plugin);
    plugin.dispatch(effEditIdle);
    plugin.dispatch(effEditClose);
  };
  cycle();
  const int descriptors = openDescriptors();
  const int segments = sharedSegmentsOfThisProcess();
  for (int i = 1; i < 200; ++i) cycle();
  stop.store(true);
  audio.join();
  std::printf(
      "200 editor cycles: open descriptors %d -> %d, shared memory segments %d -> %d, windows "
      "left in the host's %d\n",
      descriptors, openDescriptors(), segments, sharedSegmentsOfThisProcess(), window.childCount());
  EXPECT_EQ(opened, 200);
  EXPECT_EQ(openDescriptors(), descriptors);
  EXPECT_EQ(sharedSegmentsOfThisProcess(), segments);
  EXPECT_EQ(window.childCount(), 0);
}

TEST_F(X11Host, EditorsOfTwoEffectsAreOpenAtOnceAndCloseApart) {
  PluginInstance first(*library), second(*library);
  HostWindow firstWindow(kHostX, kHostY, kEditorWidth, kEditorHeight);
  HostWindow secondWindow(kHostX, kSecondHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(firstWindow.openEditor(first));
  ASSERT_TRUE(secondWindow.openEditor(second));
  pumpIdle(kSettlingMilliseconds, &first, &second);
  const ScreenImage raster = ScreenImage::load(kReferencePicture);
  EXPECT_EQ(firstWindow.capture().countDifferences(raster), 0);
  EXPECT_EQ(secondWindow.capture().countDifferences(raster), 0);
  first.dispatch(effEditClose);
  EXPECT_EQ(firstWindow.childCount(), 0);
  second.setParameter(2, second.parameter(2) > 0.5f ? 0.0f : 1.0f);
  pumpIdle(100, nullptr, &second);
  EXPECT_GT(secondWindow.capture().countDifferences(raster, pixelRect(layout::kKnobRects[2])), 0)
      << "the second editor no longer draws";
  second.dispatch(effEditClose);
  EXPECT_EQ(secondWindow.childCount(), 0);
}

TEST_F(X11Host, OpeningTwiceWithoutACloseMovesTheEditorToTheNewWindow) {
  PluginInstance plugin(*library);
  HostWindow firstWindow(kHostX, kHostY, kEditorWidth, kEditorHeight);
  HostWindow secondWindow(kHostX, kSecondHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(firstWindow.openEditor(plugin));
  ASSERT_TRUE(secondWindow.openEditor(plugin));
  EXPECT_EQ(firstWindow.childCount(), 0);
  EXPECT_EQ(secondWindow.childCount(), 1);
  pumpIdle(kSettlingMilliseconds, &plugin);
  EXPECT_EQ(secondWindow.capture().countDifferences(ScreenImage::load(kReferencePicture)), 0);
  plugin.dispatch(effEditClose);
  EXPECT_EQ(secondWindow.childCount(), 0);
}

// The host destroys its window (and with it the editor's) before effEditClose: the editor reads
// the window's end at its next idle, or meets it gone at close; either way nothing ends the host
// and the editor opens again.
TEST_F(X11Host, HostWindowDestroyedBeforeCloseLeavesAnEditorThatClosesAndReopens) {
  PluginInstance plugin(*library);
  for (const bool idleBetween : {true, false}) {
    {
      HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
      ASSERT_TRUE(window.openEditor(plugin));
      window.destroy();
      if (idleBetween) pumpIdle(60, &plugin);
    }
    plugin.dispatch(effEditIdle);
    plugin.dispatch(effEditClose);
    HostWindow again(kHostX, kHostY, kEditorWidth, kEditorHeight);
    ASSERT_TRUE(again.openEditor(plugin)) << "idle between: " << idleBetween;
    EXPECT_EQ(again.childCount(), 1);
    plugin.dispatch(effEditClose);
  }
}

// The editor's X errors stay its own: the host's error handler is the one installed before and
// after the editor's calls, it hears nothing of the editor's errors (requests on a window the
// host destroyed), and it still hears of the host's own.
int hostErrors = 0;
int countHostError(Display*, XErrorEvent*) {
  ++hostErrors;
  return 0;
}

TEST_F(X11Host, XErrorsOfTheEditorNeverReachTheHostsErrorHandler) {
  Display* host = HostWindow::display();
  XSync(host, False);
  const XErrorHandler before = XSetErrorHandler(countHostError);
  hostErrors = 0;
  PluginInstance plugin(*library);
  {
    HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
    ASSERT_TRUE(window.openEditor(plugin));
    window.destroy();
    plugin.dispatch(effEditClose);  // destroys a window that is gone already
  }
  EXPECT_EQ(XSetErrorHandler(countHostError), countHostError);
  EXPECT_EQ(hostErrors, 0);
  XMapWindow(host, 0x4242);  // no window of anyone's
  XSync(host, False);
  EXPECT_EQ(hostErrors, 1);
  XSetErrorHandler(before);
}

// A display server of the test's own, which the test can end under an open editor, with the
// host's connection to it. Display numbers far from the usual ones are tried in turn until one
// is free on this machine and answers.
class PrivateDisplay {
 public:
  PrivateDisplay() {
    const int first = 400 + int(getpid() % 400);
    for (int number = first; number < first + 20 && host == nullptr; ++number) {
      if (start(number)) host = XOpenDisplay(name.c_str());
      if (host == nullptr) stop();
    }
  }
  ~PrivateDisplay() {
    stop();
    closeHostConnection();
  }
  const std::string& getName() const { return name; }
  // The host's connection (kept to the end: a server resets itself when its last client goes).
  Display* getHostConnection() const { return host; }
  void closeHostConnection() {
    if (host != nullptr) XCloseDisplay(host);
    host = nullptr;
  }
  // The server ends at once, as a crashed or killed one does.
  void stop() {
    if (server <= 0) return;
    kill(server, SIGKILL);
    waitpid(server, nullptr, 0);
    server = -1;
  }

 private:
  // Xvfb on display `number`; true once it writes that it is ready.
  bool start(int number) {
    int ready[2];
    if (pipe(ready) != 0) return false;
    name = ":" + std::to_string(number);
    server = fork();
    if (server == 0) {
      close(ready[0]);
      const std::string fd = std::to_string(ready[1]);
      execlp("Xvfb", "Xvfb", name.c_str(), "-displayfd", fd.c_str(), "-screen", "0", "800x600x24",
             "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(ready[1]);
    char written[16] = {};
    const ssize_t length = read(ready[0], written, sizeof(written) - 1);
    close(ready[0]);
    return server > 0 && length > 0;
  }

  pid_t server = -1;
  std::string name;
  Display* host = nullptr;
};

int keepGoing(Display*) { return 0; }
void keepRunning(Display*, void*) {}

// The display server goes away under an open editor: the editor's connection breaks, and the
// idles and the close that follow end neither the host nor the editor, which then opens on the
// display that is still there.
TEST_F(X11Host, ADisplayThatGoesAwayEndsNeitherTheHostNorTheEditor) {
  PrivateDisplay server;
  Display* host = server.getHostConnection();
  ASSERT_NE(host, nullptr) << "no Xvfb of the test's own";
  const std::string display = std::getenv("DISPLAY");
  setenv("DISPLAY", server.getName().c_str(), 1);
  // The host itself survives the loss of its own connection, as a host must to go on.
  const XIOErrorHandler hostIoHandler = XSetIOErrorHandler(keepGoing);
  XSetIOErrorExitHandler(host, keepRunning, nullptr);
  const Window window = XCreateSimpleWindow(host, DefaultRootWindow(host), 10, 10, kEditorWidth,
                                            kEditorHeight, 0, 0, 0);
  XMapWindow(host, window);
  XSync(host, False);
  PluginInstance plugin(*library);
  EXPECT_EQ(plugin.openEditor(window), 1);
  for (int i = 0; i < 3; ++i) plugin.dispatch(effEditIdle);
  server.stop();
  for (int i = 0; i < 3; ++i) plugin.dispatch(effEditIdle);
  plugin.dispatch(effEditClose);
  server.closeHostConnection();
  setenv("DISPLAY", display.c_str(), 1);
  XSetIOErrorHandler(hostIoHandler);

  HostWindow again(kHostX, kHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(again.openEditor(plugin));
  pumpIdle(kSettlingMilliseconds, &plugin);
  EXPECT_EQ(again.capture().countDifferences(ScreenImage::load(kReferencePicture)), 0);
  plugin.dispatch(effEditClose);
}

// Only the thread that opened the editor may idle it: an idle from another thread changes
// nothing on screen, and the next idle of the editor's own thread shows the host's value.
TEST_F(X11Host, AnIdleFromAnotherThreadIsIgnored) {
  PluginInstance plugin(*library);
  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  ASSERT_TRUE(window.openEditor(plugin));
  pumpIdle(kSettlingMilliseconds, &plugin);
  const ScreenImage before = window.capture();
  plugin.setParameter(2, 1.0f - plugin.parameter(2));
  std::thread([&] {
    for (int i = 0; i < 5; ++i) plugin.dispatch(effEditIdle);
  }).join();
  const PixelRect knob = pixelRect(layout::kKnobRects[2]);
  EXPECT_EQ(window.capture().countDifferences(before, knob), 0);
  pumpIdle(60, &plugin);
  EXPECT_GT(window.capture().countDifferences(before, knob), 0);
  plugin.dispatch(effEditClose);
}

// effEditOpen answers 0, and makes no window, without a display, when the display refuses the
// connection, and for an id that is no window; the editor then opens as usual in a real one.
TEST_F(X11Host, NoDisplayOrNoWindowOpensNothing) {
  PluginInstance plugin(*library);
  HostWindow window(kHostX, kHostY, kEditorWidth, kEditorHeight);
  const std::string display = std::getenv("DISPLAY");
  unsetenv("DISPLAY");
  EXPECT_EQ(plugin.openEditor(window.handle()), 0) << "without a DISPLAY";
  setenv("DISPLAY", ":4242", 1);
  EXPECT_EQ(plugin.openEditor(window.handle()), 0) << "with a display that does not answer";
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_EQ(plugin.openEditor(0x4242), 0) << "with an id that is no window";
  EXPECT_EQ(plugin.openEditor(0), 0) << "without a window";
  EXPECT_EQ(window.childCount(), 0);
  plugin.dispatch(effEditIdle);
  EXPECT_EQ(plugin.dispatch(effEditClose), 0);
  ASSERT_TRUE(window.openEditor(plugin));
  EXPECT_EQ(window.childCount(), 1);
  plugin.dispatch(effEditClose);
}

}  // namespace
