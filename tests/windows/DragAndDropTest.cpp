// A drag from another application over the editor: OLE's DoDragDrop with a text data object,
// the pointer moved by real input, and the editor's drop target answering it.

#include <gtest/gtest.h>
#include <ole2.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "editor/EditorLayout.h"
#include "host/VstInterface.h"
#include "tests/windows/HostWindow.h"
#include "tests/windows/InputDriver.h"
#include "tests/windows/PluginInstance.h"
#include "tests/windows/StubDataObject.h"

namespace {

constexpr int kEditorWidth = 752;
constexpr int kEditorHeight = 160;
constexpr int kHostX = 40;
constexpr int kHostY = 60;
// Posted to the host window during a drag: the host closes the editor.
constexpr UINT kCloseEditorMessage = WM_APP + 1;

// The source side of the drag: it drops when the left button is released and notes every effect
// the target under the pointer reported.
class RecordingDropSource final : public IDropSource {
 public:
  virtual ~RecordingDropSource() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource)) {
      *object = static_cast<IDropSource*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++references); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(--references); }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return (keys & MK_LBUTTON) != 0 ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
    effects.insert(effect);
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

  std::set<DWORD> effects;

 private:
  long references = 1;
};

// A drop target that takes nothing: what a second registration on the editor's window offers.
class RefusingDropTarget final : public IDropTarget {
 public:
  virtual ~RefusingDropTarget() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
      *object = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
};

class DragAndDrop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { OleInitialize(nullptr); }
  static void TearDownTestSuite() { OleUninitialize(); }

  DragAndDrop() : library(LUMIVANE_PLUGIN_PATH), plugin(library) {}

  // Presses the left button in the window the drag comes from, starts DoDragDrop there (as the
  // source application does on its press), moves the pointer over the editor, where `whileOver`
  // runs on the driver's thread, and releases it there.
  HRESULT dragOverTheEditor(const std::function<void()>& whileOver, DWORD& effect) {
    const POINT outside = sourceWindow.toScreen(50, 30);
    const POINT over = window.toScreen(380, 80);
    std::atomic<bool> pressed{false};
    InputDriver driver([&] {
      InputDriver::moveTo(outside.x, outside.y);
      InputDriver::pressLeft();
      pressed.store(true);
      InputDriver::pause(150);
      for (int step = 1; step <= 10; ++step) {
        InputDriver::moveTo(outside.x + (over.x - outside.x) * step / 10,
                            outside.y + (over.y - outside.y) * step / 10);
        InputDriver::pause(20);
      }
      whileOver();
      InputDriver::moveTo(over.x + 3, over.y + 2);
      InputDriver::pause(100);
      InputDriver::releaseLeft();
    });
    while (!pressed.load()) pumpMessages(5);
    pumpMessages(60);
    return DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  }

  PluginLibrary library;
  PluginInstance plugin;
  HostWindow window{kHostX, kHostY, kEditorWidth, kEditorHeight};
  // Another application's window, where drags start.
  HostWindow sourceWindow{kHostX + 200, kHostY + kEditorHeight + 80, 100, 60};
  TextDataObject data{"0.75"};
  RecordingDropSource source;
};

TEST_F(DragAndDrop, TheEditorsWindowIsADropTarget) {
  ASSERT_TRUE(window.openEditor(plugin));
  RefusingDropTarget second;
  // Registering a second target fails because the editor registered one.
  EXPECT_EQ(RegisterDragDrop(window.editorWindow(), &second), DRAGDROP_E_ALREADYREGISTERED);
  plugin.dispatch(effEditClose);
}

TEST_F(DragAndDrop, TextDraggedOverTheEditorReachesItAndIsNotTakenAway) {
  ASSERT_TRUE(window.openEditor(plugin));
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = dragOverTheEditor([] { InputDriver::pause(100); }, effect);
  EXPECT_EQ(result, DRAGDROP_S_DROP);
  EXPECT_TRUE(data.requestedFormats.count(CF_TEXT)) << "the drop target never read the data";
  EXPECT_TRUE(source.effects.count(DROPEFFECT_MOVE)) << "no move shown over the editor";
  // Nothing in the editor takes drops: the drop is reported as no move, so the source keeps what
  // was dragged.
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  plugin.dispatch(effEditClose);
}

// The host closes the editor while the drag is over it: the window's drop target is revoked
// while OLE still holds it, and the rest of the drag reaches nothing that is gone.
TEST_F(DragAndDrop, ClosingTheEditorInTheMiddleOfADragIsSafe) {
  ASSERT_TRUE(window.openEditor(plugin));
  static PluginInstance* closing = nullptr;
  closing = &plugin;
  const auto hostProcedure =
      reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window.handle(), GWLP_WNDPROC));
  static WNDPROC previous = nullptr;
  previous = hostProcedure;
  SetWindowLongPtrA(
      window.handle(), GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == kCloseEditorMessage) {
          closing->dispatch(effEditClose);
          return 0;
        }
        return CallWindowProcA(previous, hwnd, message, w, l);
      }));
  HWND host = window.handle();
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = dragOverTheEditor(
      [host] {
        PostMessageA(host, kCloseEditorMessage, 0, 0);
        InputDriver::pause(150);
      },
      effect);
  EXPECT_TRUE(result == DRAGDROP_S_DROP || result == DRAGDROP_S_CANCEL) << std::hex << result;
  EXPECT_EQ(window.editorWindow(), nullptr) << "the editor did not close";
  SetWindowLongPtrA(window.handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  // The editor opens again, with a drop target of its own.
  ASSERT_TRUE(window.openEditor(plugin));
  RefusingDropTarget second;
  EXPECT_EQ(RegisterDragDrop(window.editorWindow(), &second), DRAGDROP_E_ALREADYREGISTERED);
  plugin.dispatch(effEditClose);
}

}  // namespace
