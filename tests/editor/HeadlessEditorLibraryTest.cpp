// The editor as the command-line host reaches it: through the table the built plug-in library
// exports, and through lumivane-render's --editor-png, --script and --commands.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "editor/EditorLayout.h"
#include "editor/HeadlessEditorApi.h"
#include "host/VstInterface.h"
#include "tests/support/RenderToolFixture.h"

namespace {

namespace layout = editor_layout;

// An RGB picture read back from a PNG file; empty when there is none.
struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  bool isGreen(int x, int y) const {
    const unsigned char* pixel = &rgb[static_cast<std::size_t>((y * width + x) * 3)];
    return pixel[0] == 0 && pixel[1] == 255 && pixel[2] == 0;
  }
  int greenIn(const gui::CViewRect& rect) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x) count += isGreen(x, y);
    return count;
  }
  // Pixels of the rectangle that differ from the other picture's.
  int differencesIn(const Picture& other, const gui::CViewRect& rect) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x)
        for (int c = 0; c < 3; ++c) {
          const std::size_t at = static_cast<std::size_t>((y * width + x) * 3 + c);
          if (rgb[at] != other.rgb[at]) {
            ++count;
            break;
          }
        }
    return count;
  }
  // Pixels brighter in green than anything the unlit meter images have.
  int litIn(const gui::CViewRect& rect) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x)
        count += rgb[static_cast<std::size_t>((y * width + x) * 3 + 1)] > 160;
    return count;
  }
};

Picture readPicture(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Picture picture;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgb = std::move(rgb);
  return picture;
}

VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

class HeadlessEditorTable : public ::testing::Test {
 protected:
  void SetUp() override {
    library = dlopen(LUMIVANE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto entry =
        reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(library, "VSTPluginMain"));
    auto table = reinterpret_cast<LumivaneHeadlessEditorProc>(
        dlsym(library, LUMIVANE_HEADLESS_EDITOR_SYMBOL));
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(table, nullptr);
    api = table();
    effect = entry(quietHost);
    ASSERT_NE(effect, nullptr);
  }
  void TearDown() override {
    if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    if (library) dlclose(library);
  }

  void* library = nullptr;
  const LumivaneHeadlessEditorApi* api = nullptr;
  AEffect* effect = nullptr;
};

TEST_F(HeadlessEditorTable, TheTableOpensDrivesAndSavesTheEditor) {
  ASSERT_EQ(api->version, LUMIVANE_HEADLESS_EDITOR_VERSION);
  LumivaneEditorSession* session = api->open(effect);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(api->idle(session, 2), 1);
  // Dry's field: type 40 and Enter.
  const gui::CViewRect field = layout::kFieldRects[3];
  EXPECT_EQ(api->press(session, (field.left + field.right) / 2, (field.top + field.bottom) / 2,
                       LUMIVANE_BUTTON_LEFT),
            1);
  EXPECT_EQ(api->type(session, "40"), 1);
  EXPECT_EQ(api->key(session, 0, 4, 0), 1);
  EXPECT_FLOAT_EQ(effect->getParameter(effect, 3), 0.4f);
  EXPECT_EQ(api->wheel(session, 202, 32, 1.0f), 1);
  EXPECT_FLOAT_EQ(effect->getParameter(effect, 1), 0.6f);
  char picture[] = "/tmp/lumivane-editor-XXXXXX";
  const int descriptor = mkstemp(picture);
  ASSERT_GE(descriptor, 0);
  EXPECT_EQ(api->snapshot(session, picture), 1);
  const Picture saved = readPicture(picture);
  EXPECT_EQ(saved.width, 752);
  EXPECT_EQ(saved.height, 160);
  std::remove(picture);
  api->close(session);
}

TEST_F(HeadlessEditorTable, TheTableRefusesWhatIsNotOneOfItsEffects) {
  AEffect stranger = *effect;
  stranger.dispatcher = nullptr;
  EXPECT_EQ(api->open(&stranger), nullptr);
  EXPECT_EQ(api->open(nullptr), nullptr);
  AEffect notAnEffect{};
  EXPECT_EQ(api->open(&notAnEffect), nullptr);
  EXPECT_EQ(api->idle(nullptr, 1), 0);
  EXPECT_EQ(api->press(nullptr, 1, 1, LUMIVANE_BUTTON_LEFT), 0);
  EXPECT_EQ(api->type(nullptr, "1"), 0);
  EXPECT_EQ(api->snapshot(nullptr, "/tmp/x.png"), 0);
  api->close(nullptr);
  LumivaneEditorSession* session = api->open(effect);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(api->idle(session, -1), 0);
  EXPECT_EQ(api->press(session, 10, 10, 0), 0);  // no button
  EXPECT_EQ(api->key(session, 0, 300, 0), 0);
  EXPECT_EQ(api->wheel(session, 10, 10, NAN), 0);
  EXPECT_EQ(api->type(session, nullptr), 0);
  EXPECT_EQ(api->snapshot(session, "/nonexistent-directory/x.png"), 0);
  api->close(session);
}

class RenderEditor : public RenderToolFixture {
 protected:
  // Half a second of a steady tone in whole blocks of 512: the last block is loud on both outputs.
  std::string toneFile() {
    std::vector<float> samples(44 * 512);
    for (std::size_t i = 0; i < samples.size(); ++i)
      samples[i] = 0.7f * std::sin(0.031f * static_cast<float>(i));
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path("tone.wav").c_str(), SFM_WRITE, &info);
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return path("tone.wav");
  }
};

void expectOneLineError(const ToolRun& run, int exitCode, const std::string& containing) {
  EXPECT_EQ(run.exitCode, exitCode);
  ::expectOneLineError(run, containing);
}

TEST_F(RenderEditor, ThePictureShowsTheLastBlocksFeed) {
  ToolRun run =
      render("'" + plugin + "' '" + toneFile() + "' --editor-png '" + path("editor.png") + "'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("Wrote the editor picture"), std::string::npos);
  const Picture picture = readPicture(path("editor.png"));
  ASSERT_EQ(picture.width, 752);
  ASSERT_EQ(picture.height, 160);
  EXPECT_GT(picture.greenIn(layout::kGoniometerRect), 100);
  // A 0.7 peak lights about 70% of each peak meter: well over half, well short of all of it.
  for (const gui::CViewRect& meter : {layout::kLeftPeakRect, layout::kRightPeakRect}) {
    const int lit = picture.litIn(meter);
    EXPECT_GT(lit, 20 * 136 / 2 * 5 / 10);
    EXPECT_LT(lit, 20 * 136 / 2 * 9 / 10);
  }
}

// The shot taken after typing 250 into Dry's field shows Dry's knob and field as an editor whose
// Dry the host set to 1 shows them; the three gestures (field, drag, wheel) reach the host.
TEST_F(RenderEditor, AScriptDrivesTheEditorAndTakesShots) {
  std::ofstream(path("script.txt")) << "# Dry to 100 through its field, then Mix by dragging\n"
                                    << "press 614 28\ntype 250\nkey return\nidle 2\n"
                                    << "shot " << path("typed.png") << "\n"
                                    << "drag 650 60 706 60\n";
  ToolRun run = render("'" + plugin + "' --script '" + path("script.txt") +
                       "' --commands 'wheel 202 32 -1; idle 1'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find(" automate, 3 begin edit, 3 end edit\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Host callbacks: 0 automate"), std::string::npos) << run.out;

  ASSERT_EQ(render("'" + plugin + "' -o dry.wav --param Dry=1 --commands 'idle 2; shot " +
                   path("dry.png") + "'")
                .exitCode,
            0);
  ASSERT_EQ(render("'" + plugin + "' -o default.wav --commands 'idle 2; shot " +
                   path("default.png") + "'")
                .exitCode,
            0);
  const Picture typed = readPicture(path("typed.png")), dry = readPicture(path("dry.png")),
                untouched = readPicture(path("default.png"));
  ASSERT_EQ(typed.width, 752);
  ASSERT_EQ(dry.width, 752);
  ASSERT_EQ(untouched.width, 752);
  for (const gui::CViewRect& rect : {layout::kKnobRects[3], layout::kFieldRects[3]}) {
    EXPECT_EQ(typed.differencesIn(dry, rect), 0);
    EXPECT_GT(typed.differencesIn(untouched, rect), 20);
  }
}

struct BadScript {
  std::string arguments;
  int exitCode;
  std::string message;
};

TEST_F(RenderEditor, BadScriptsAndPluginsGiveOneClearLine) {
  std::ofstream(path("bad.txt")) << "press 1 1\n\nwheel 1 1 lots\n";
  const BadScript cases[] = {
      {"--commands 'prss 1 2'", 2, "--commands line 1: unknown command 'prss'"},
      {"--commands 'press 1'", 2, "line 1: missing y"},
      {"--commands 'press 1 2 sideways'", 2, "unknown button or modifier 'sideways'"},
      {"--commands 'key F13'", 2, "unknown key 'F13'"},
      {"--commands 'idle -1'", 2, "idle count must be a whole number from 0"},
      {"--commands 'shot'", 2, "shot needs a file name"},
      {"--script '" + path("bad.txt") + "'", 2, "line 3: notches must be a number"},
      {"--script '" + path("missing.txt") + "'", 2, "cannot read the script"},
      {"--editor-png", 2, "--editor-png needs a value"},
      {"--editor-png --double", 2, "--editor-png needs a file name, not the option '--double'"},
      {"--commands 'shot /nonexistent-directory/x.png'", 1, "cannot write the editor picture"},
  };
  for (const BadScript& bad : cases) {
    SCOPED_TRACE(bad.arguments);
    expectOneLineError(render("'" + plugin + "' " + bad.arguments), bad.exitCode, bad.message);
  }
}

TEST_F(RenderEditor, APluginWithoutTheHeadlessEditorIsRefused) {
  ToolRun run =
      render(std::string("'") + LUMIVANE_PLAIN_PLUGIN + "' --editor-png '" + path("e.png") + "'");
  expectOneLineError(run, 1, "has no headless editor");
  EXPECT_TRUE(readFile(path("e.png")).empty());
  // Without the editor options the same library renders.
  EXPECT_EQ(render(std::string("'") + LUMIVANE_PLAIN_PLUGIN + "'").exitCode, 0);
}

}  // namespace
