// The Win32 layer behind the toolkit's seam, call by call, under Wine: what GDI makes of images,
// the window class and its procedure, the EDIT entry box, OLE's initialisation and the drop
// target's life.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "gui/platform/Platform.h"
#include "gui/platform/win32/Win32DropTarget.h"
#include "gui/platform/win32/Win32Handles.h"
#include "tests/windows/StubDataObject.h"

namespace platform = gui::platform;
using gui::CViewPoint;
using gui::CViewRect;

namespace {

int bitsPerPixel(platform::PlatformImage* image) {
  BITMAP bitmap{};
  GetObjectA(platform::win32::toHandle(image), sizeof(bitmap), &bitmap);
  return bitmap.bmBitsPixel;
}

// --- Images ---------------------------------------------------------------------------------

TEST(Win32Images, ACompatibleImageTakesTheFormatOfItsReference) {
  platform::PlatformDevice* memory = platform::createCompatibleDevice(nullptr);
  platform::PlatformImage* fromMemory = platform::createCompatibleImage(memory, 4, 4);
  platform::PlatformImage* fromScreen = platform::createCompatibleImage(nullptr, 4, 4);
  EXPECT_EQ(bitsPerPixel(fromMemory), 1) << "a new memory device holds a 1-bit image";
  EXPECT_EQ(bitsPerPixel(fromScreen), 32);
  platform::deleteObject(fromMemory);
  platform::deleteObject(fromScreen);
  platform::deleteDevice(memory);
}

TEST(Win32Images, PixelRowsCountFromTheTopAndShowWhatGdiDrew) {
  platform::PlatformImage* image = platform::createImage(3, 4);
  ASSERT_NE(image, nullptr);
  platform::PlatformDevice* device = platform::createCompatibleDevice(nullptr);
  platform::PlatformImage* previous = device->selectImage(image);
  platform::PlatformBrush* red = platform::createSolidBrush(platform::makeColor(255, 0, 0));
  device->fillRect(CViewRect(0, 0, 3, 1), red);  // the top row, through GDI
  const uint8_t* top = platform::imagePixelRow(image, 0);
  const uint8_t* bottom = platform::imagePixelRow(image, 3);
  ASSERT_NE(top, nullptr);
  ASSERT_NE(bottom, nullptr);
  EXPECT_EQ(top[2], 255) << "red of the top row";
  EXPECT_EQ(bottom[2], 0) << "the bottom row is untouched";
  EXPECT_EQ(platform::imagePixelRow(image, 4), nullptr);
  EXPECT_EQ(platform::imagePixelRow(image, -1), nullptr);
  device->selectImage(previous);
  platform::deleteObject(red);
  platform::deleteDevice(device);
  platform::deleteObject(image);
}

TEST(Win32Images, OnlyImagesMadeAsDibSectionsHandOutTheirRows) {
  platform::PlatformImage* plain = platform::createCompatibleImage(nullptr, 4, 4);
  EXPECT_EQ(platform::imagePixelRow(plain, 0), nullptr);
  EXPECT_EQ(platform::imagePixelRow(nullptr, 0), nullptr);
  platform::deleteObject(plain);
}

TEST(Win32Images, AbsurdSizesMakeNoImage) {
  for (auto [width, height] : {std::pair{0, 4}, {4, -1}, {20000, 4}, {5000, 5000}}) {
    EXPECT_EQ(platform::createImage(width, height), nullptr) << width << " x " << height;
    EXPECT_EQ(platform::createCompatibleImage(nullptr, width, height), nullptr);
    EXPECT_EQ(platform::createMonochromeImage(width, height), nullptr);
  }
}

TEST(Win32Platform, TheBlendingLibraryAndTheNtVersionAreFound) {
  platform::ImageLibrary* library = platform::loadImageLibrary();
  ASSERT_NE(library, nullptr);
  EXPECT_NE(platform::findAlphaBlend(library), nullptr);
  EXPECT_NE(platform::findTransparentBlt(library), nullptr);
  platform::freeImageLibrary(library);
  platform::OsVersion version;
  ASSERT_TRUE(platform::getOsVersion(version));
  EXPECT_EQ(version.platformId, 2u);
}

// --- Windows and the window procedure -------------------------------------------------------

std::vector<platform::WindowMessage> received;
bool throwOnPress = false;

bool recordingProcedure(void*, platform::WindowMessage& message) {
  received.push_back(message);
  if (throwOnPress && message.kind == platform::WindowMessageKind::mouseDown) {
    throw std::runtime_error("a view failed");
  }
  return message.kind == platform::WindowMessageKind::mouseDown;
}

// A plain top-level window standing for the host's, with the frame's class registered.
class FrameWindow : public ::testing::Test {
 protected:
  FrameWindow() {
    received.clear();
    throwOnPress = false;
    parent = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 50, 60, 300, 200, nullptr,
                             nullptr, nullptr, nullptr);
    registered = platform::registerWindowClass(&recordingProcedure);
  }
  ~FrameWindow() override {
    if (window != nullptr) platform::destroyWindow(window);
    platform::unregisterWindowClass();
    DestroyWindow(parent);
  }
  void open() {
    window = platform::createChildWindow(parent, 200, 100);
    ASSERT_NE(window, nullptr);
  }
  HWND hwnd() const { return static_cast<HWND>(window); }

  HWND parent = nullptr;
  bool registered = false;
  void* window = nullptr;
};

TEST_F(FrameWindow, TheClassIsNamedAfterTheModuleAndMakesVisibleChildren) {
  ASSERT_TRUE(registered);
  char name[32];
  std::snprintf(name, sizeof(name), "Plugin%p", static_cast<void*>(GetModuleHandleA(nullptr)));
  WNDCLASSA windowClass;
  EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), name, &windowClass));
  EXPECT_EQ(windowClass.style & CS_GLOBALCLASS, UINT(CS_GLOBALCLASS));
  open();
  EXPECT_EQ(GetParent(hwnd()), parent);
  EXPECT_TRUE(IsWindowVisible(hwnd()));
  RECT client{};
  GetClientRect(hwnd(), &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
  int data = 0;
  platform::setWindowUserData(window, &data);
  EXPECT_EQ(platform::getWindowUserData(window), &data);
  const CViewPoint origin = platform::getWindowOrigin(window);
  EXPECT_EQ(origin.x, 50);
  EXPECT_EQ(origin.y, 60);
}

TEST_F(FrameWindow, AClassLeftRegisteredIsTakenAgain) {
  ASSERT_TRUE(registered);
  EXPECT_TRUE(platform::registerWindowClass(&recordingProcedure));
  open();
}

TEST_F(FrameWindow, NoParentOrNotAWindowMakesNoChild) {
  EXPECT_EQ(platform::createChildWindow(nullptr, 10, 10), nullptr);
  EXPECT_EQ(platform::createChildWindow(reinterpret_cast<void*>(0x4242), 10, 10), nullptr);
  EXPECT_EQ(platform::getWindowUserData(reinterpret_cast<void*>(0x4242)), nullptr);
  platform::destroyWindow(reinterpret_cast<void*>(0x4242));  // ignored
}

TEST_F(FrameWindow, PressesAndWheelTurnsArriveWithSignedCoordinates) {
  open();
  SendMessageA(hwnd(), WM_RBUTTONDOWN, 0, MAKELPARAM(-5, 7));
  SendMessageA(hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, -240), MAKELPARAM(-100, 50));
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].kind, platform::WindowMessageKind::mouseDown);
  EXPECT_EQ(received[0].where, CViewPoint(-5, 7));
  EXPECT_EQ(received[1].kind, platform::WindowMessageKind::mouseWheel);
  EXPECT_EQ(received[1].where, CViewPoint(-100, 50));
  EXPECT_EQ(received[1].wheelDelta, -240);
}

TEST_F(FrameWindow, AnExceptionInTheProcedureStaysOnOurSideOfWindows) {
  open();
  throwOnPress = true;
  SendMessageA(hwnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(3, 4));
  EXPECT_EQ(received.size(), 1u);
  EXPECT_TRUE(IsWindow(hwnd()));
}

TEST_F(FrameWindow, DestroyingTheWindowTellsTheProcedureOnce) {
  open();
  platform::destroyWindow(window);
  EXPECT_FALSE(IsWindow(hwnd()));
  window = nullptr;
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].kind, platform::WindowMessageKind::destroy);
}

// --- The entry box ------------------------------------------------------------------------------

class CountingListener : public platform::TextEntryListener {
 public:
  void textEntryFinished(platform::PlatformTextEntry* finished) override {
    ++calls;
    char buffer[256];
    finished->getText(buffer, sizeof(buffer));
    texts.push_back(buffer);
    if (destroyOnFinish) {
      finished->destroy();
      entry = nullptr;
    }
  }
  int calls = 0;
  bool destroyOnFinish = true;
  std::vector<std::string> texts;
  platform::PlatformTextEntry* entry = nullptr;
};

class EntryBox : public FrameWindow {
 protected:
  EntryBox() {
    font = platform::createFont(logicalFont());
    brush = platform::createSolidBrush(platform::makeColor(0, 0, 0));
  }
  ~EntryBox() override {
    if (listener.entry != nullptr) listener.entry->destroy();
    platform::deleteObject(font);
    platform::deleteObject(brush);
  }
  static platform::LogicalFont logicalFont() {
    platform::LogicalFont logical;
    logical.height = -11;
    std::strcpy(logical.faceName, "Arial");
    return logical;
  }
  void openBox(const char* text) {
    open();
    platform::TextEntryRequest request;
    request.rect = CViewRect(20, 30, 80, 54);
    request.text = text;
    request.alignment = 2;
    request.font = font;
    request.brush = brush;
    request.fontColor = platform::makeColor(0, 255, 0);
    request.backColor = platform::makeColor(0, 0, 0);
    listener.entry = platform::createTextEntry(window, request, &listener);
    ASSERT_NE(listener.entry, nullptr);
    box = GetWindow(hwnd(), GW_CHILD);
    ASSERT_NE(box, nullptr);
  }
  std::string boxText() const {
    char buffer[256] = {};
    GetWindowTextA(box, buffer, sizeof(buffer));
    return buffer;
  }

  platform::PlatformFont* font = nullptr;
  platform::PlatformBrush* brush = nullptr;
  CountingListener listener;
  HWND box = nullptr;
};

TEST_F(EntryBox, OpensOverTheFieldWithItsTextSelectedTheFocusAndItsFont) {
  openBox("0.50");
  char className[16] = {};
  GetClassNameA(box, className, sizeof(className));
  EXPECT_STREQ(className, "Edit");
  RECT rect{};
  GetWindowRect(box, &rect);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 20);
  EXPECT_EQ(rect.top, 30);
  EXPECT_EQ(rect.right, 80);
  EXPECT_EQ(rect.bottom, 54);
  EXPECT_EQ(boxText(), "0.50");
  DWORD start = 1, end = 0;
  SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);
  EXPECT_EQ(GetFocus(), box);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(box, WM_GETFONT, 0, 0)),
            platform::win32::toHandle(font));
  EXPECT_NE(GetWindowLongA(box, GWL_STYLE) & ES_RIGHT, 0);
  EXPECT_EQ(SendMessageA(box, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTALLKEYS));
}

TEST_F(EntryBox, ColourRequestsAreAnsweredWithTheBoxsOwnColours) {
  openBox("1");
  HDC device = GetDC(box);
  const LRESULT answer = SendMessageA(hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(device),
                                      reinterpret_cast<LPARAM>(box));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(answer), platform::win32::toHandle(brush));
  EXPECT_EQ(GetTextColor(device), RGB(0, 255, 0));
  EXPECT_EQ(GetBkColor(device), RGB(0, 0, 0));
  ReleaseDC(box, device);
}

TEST_F(EntryBox, EnterFinishesOnceWithTheTypedText) {
  openBox("0.50");
  SetWindowTextA(box, "250");
  SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(listener.calls, 1);
  EXPECT_THAT(listener.texts, ::testing::ElementsAre("250"));
  EXPECT_EQ(GetWindow(hwnd(), GW_CHILD), nullptr) << "destroying the box in the listener closes it";
}

TEST_F(EntryBox, EscapePutsTheFirstTextBackAndFinishes) {
  openBox("0.50");
  SetWindowTextA(box, "9");
  SendMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_THAT(listener.texts, ::testing::ElementsAre("0.50"));
}

TEST_F(EntryBox, LosingTheFocusFinishes) {
  openBox("7");
  SetFocus(parent);
  EXPECT_EQ(listener.calls, 1);
}

TEST_F(EntryBox, DestroyingTheFocusedBoxDoesNotCallTheListener) {
  openBox("7");
  ASSERT_EQ(GetFocus(), box);
  listener.entry->destroy();
  listener.entry = nullptr;
  EXPECT_EQ(listener.calls, 0);
  EXPECT_FALSE(IsWindow(box));
}

TEST_F(EntryBox, ABoxWhoseWindowWentWithItsParentReportsNothingAndKeepsItsText) {
  listener.destroyOnFinish = false;
  openBox("42");
  platform::destroyWindow(window);  // the frame's window goes before its views
  window = nullptr;
  EXPECT_FALSE(IsWindow(box));
  EXPECT_EQ(listener.calls, 0);
  char buffer[8];
  EXPECT_EQ(listener.entry->getText(buffer, sizeof(buffer)), 2);
  EXPECT_STREQ(buffer, "42");
  listener.entry->destroy();
  listener.entry = nullptr;
}

TEST_F(EntryBox, TheHostDestroyingItsWindowWhileTheBoxIsOpenLeavesNothingToCrashOn) {
  listener.destroyOnFinish = false;
  openBox("42");
  DestroyWindow(parent);  // the host's window, and with it the frame's and the box
  parent = nullptr;
  window = nullptr;
  EXPECT_FALSE(IsWindow(box));
  listener.entry->destroy();
  listener.entry = nullptr;
}

// --- OLE
// ------------------------------------------------------------------------------------------

TEST(Win32Ole, InitialisationIsPairedOnlyWhenItSucceeded) {
  std::thread([] {
    EXPECT_TRUE(platform::initializeOle());  // S_OK
    EXPECT_TRUE(platform::initializeOle());  // S_FALSE: already, and counted
    platform::uninitializeOle();
    platform::uninitializeOle();
  }).join();
  std::thread([] {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    EXPECT_FALSE(platform::initializeOle()) << "a thread of the other COM model cannot have OLE";
    CoUninitialize();
  }).join();
}

class RecordingHandler : public platform::DropTargetHandler {
 public:
  uint32_t dragEnter(platform::DragData* data) override {
    calls.push_back("enter");
    sawText = data != nullptr && data->hasText();
    files = data != nullptr ? data->getFileCount() : -2;
    return platform::kDropEffectMove;
  }
  uint32_t dragOver(uint32_t) override {
    calls.push_back("over");
    return platform::kDropEffectMove;
  }
  void dragLeave() override { calls.push_back("leave"); }
  uint32_t drop(platform::DragData*, uint32_t) override {
    calls.push_back("drop");
    return platform::kDropEffectNone;
  }
  std::vector<std::string> calls;
  bool sawText = false;
  int32_t files = -2;
};

// A file list of `count` names as Explorer offers it (CF_HDROP).
class FileListData final : public StubDataObject {
 public:
  explicit FileListData(int count) : count(count) {}

 protected:
  std::optional<std::string> contents(CLIPFORMAT format) override {
    if (format != CF_HDROP) return std::nullopt;
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    for (int i = 0; i < count; ++i) bytes += "C:\\file" + std::to_string(i) + ".wav" + '\0';
    return bytes + '\0';
  }

 private:
  int count;
};

TEST(Win32DropTarget, HandsTheDragToTheHandlerWithTheDataRead) {
  RecordingHandler handler;
  auto* target = new platform::win32::Win32DropTarget(&handler);
  FileListData threeFiles(3);
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(target->DragEnter(&threeFiles, MK_LBUTTON, POINTL{0, 0}, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_MOVE));
  EXPECT_FALSE(handler.sawText);
  EXPECT_EQ(handler.files, 3);
  EXPECT_EQ(target->DragOver(MK_LBUTTON, POINTL{1, 1}, &effect), S_OK);
  EXPECT_EQ(target->Drop(&threeFiles, 0, POINTL{1, 1}, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  EXPECT_THAT(handler.calls, ::testing::ElementsAre("enter", "over", "drop"));
  EXPECT_EQ(target->DragEnter(&threeFiles, 0, POINTL{0, 0}, nullptr), E_INVALIDARG);
  target->Release();
}

// OLE may hold the target after the window was revoked (a drag still in progress): it lives on
// until its last reference goes and reaches no handler any more.
TEST(Win32DropTarget, OutlivesItsRevocationAndReachesNothingAfterIt) {
  RecordingHandler handler;
  auto* target = new platform::win32::Win32DropTarget(&handler);
  target->AddRef();  // what a drag in progress holds
  target->detach();  // the window was revoked
  EXPECT_EQ(target->Release(), 1u);
  FileListData oneFile(1);
  DWORD effect = DROPEFFECT_MOVE;
  EXPECT_EQ(target->DragEnter(&oneFile, MK_LBUTTON, POINTL{0, 0}, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(target->DragLeave(), S_OK);
  EXPECT_TRUE(handler.calls.empty());
  IUnknown* unknown = nullptr;
  EXPECT_EQ(target->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(unknown->Release(), 1u);
  IUnknown* other = reinterpret_cast<IUnknown*>(0x1);
  EXPECT_EQ(target->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(&other)),
            E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(target->Release(), 0u);
}

TEST(Win32DropTarget, RegistrationNeedsOleAndAWindow) {
  ASSERT_TRUE(platform::initializeOle());
  RecordingHandler handler;
  HWND window = CreateWindowExA(0, "STATIC", "drop", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
  EXPECT_FALSE(platform::registerDropTarget(nullptr, &handler));
  EXPECT_FALSE(platform::registerDropTarget(window, nullptr));
  EXPECT_TRUE(platform::registerDropTarget(window, &handler));
  auto* second = new platform::win32::Win32DropTarget(&handler);
  EXPECT_EQ(RegisterDragDrop(window, second), DRAGDROP_E_ALREADYREGISTERED);
  second->Release();
  platform::revokeDropTarget(window);
  EXPECT_EQ(RevokeDragDrop(window), DRAGDROP_E_NOTREGISTERED);
  platform::revokeDropTarget(window);  // twice is harmless
  DestroyWindow(window);
  platform::uninitializeOle();
}

}  // namespace
