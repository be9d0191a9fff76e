#include "tools/render/EditorScript.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "editor/HeadlessEditorApi.h"
#include "tools/render/RenderError.h"
#include "tools/render/ScriptLineReader.h"

namespace {

// Coordinates far outside any editor window still reach it (and hit nothing); beyond this range
// they are typing mistakes.
constexpr long kMaxCoordinate = 100000;
constexpr long kMaxIdles = 100000;
constexpr double kMaxNotches = 100.0;

// The VST 2.4 virtual key numbers and modifier bits of the key record.
struct NamedKey {
  const char* name;
  std::int32_t virtualKey;
};
constexpr NamedKey kKeys[] = {
    {"backspace", 1}, {"tab", 2},    {"return", 4},  {"escape", 6}, {"space", 7},
    {"end", 9},       {"home", 10},  {"left", 11},   {"up", 12},    {"right", 13},
    {"down", 14},     {"enter", 19}, {"delete", 22},
};
constexpr std::int32_t kKeyShift = 1, kKeyAlternate = 2, kKeyControl = 8;

std::int32_t mouseButtons(ScriptLineReader& reader) {
  std::int32_t buttons = LUMIVANE_BUTTON_LEFT;
  std::string word;
  while (reader.next(word)) {
    if (word == "shift")
      buttons |= LUMIVANE_MODIFIER_SHIFT;
    else if (word == "control")
      buttons |= LUMIVANE_MODIFIER_CONTROL;
    else if (word == "alt")
      buttons |= LUMIVANE_MODIFIER_ALT;
    else if (word == "right")
      buttons = (buttons & ~LUMIVANE_BUTTON_LEFT) | LUMIVANE_BUTTON_RIGHT;
    else if (word == "middle")
      buttons = (buttons & ~LUMIVANE_BUTTON_LEFT) | LUMIVANE_BUTTON_MIDDLE;
    else
      reader.fail("unknown button or modifier '" + word + "' (shift, control, alt, right, middle)");
  }
  return buttons;
}

void readKey(ScriptLineReader& reader, EditorCommand& command) {
  std::string name = reader.need("key name");
  bool known = false;
  for (const NamedKey& key : kKeys) {
    if (name == key.name) {
      command.virtualKey = key.virtualKey;
      known = true;
    }
  }
  if (!known && name.size() == 1) {
    command.character = static_cast<unsigned char>(name[0]);
    known = true;
  }
  if (!known) reader.fail("unknown key '" + name + "'");
  std::string word;
  while (reader.next(word)) {
    if (word == "shift")
      command.modifiers |= kKeyShift;
    else if (word == "control")
      command.modifiers |= kKeyControl;
    else if (word == "alt")
      command.modifiers |= kKeyAlternate;
    else
      reader.fail("unknown modifier '" + word + "' (shift, control, alt)");
  }
}

void noMoreWords(ScriptLineReader& reader) {
  std::string word;
  if (reader.next(word)) reader.fail("unexpected '" + word + "'");
}

EditorCommand readCommand(ScriptLineReader& reader, const std::string& verb, int line) {
  EditorCommand command;
  command.line = line;
  auto coordinate = [&](const char* what) {
    return static_cast<std::int32_t>(reader.integer(what, -kMaxCoordinate, kMaxCoordinate));
  };
  if (verb == "press") {
    command.x1 = coordinate("x");
    command.y1 = coordinate("y");
    command.buttons = mouseButtons(reader);
  } else if (verb == "drag") {
    command.kind = EditorCommand::Kind::drag;
    command.x1 = coordinate("x1");
    command.y1 = coordinate("y1");
    command.x2 = coordinate("x2");
    command.y2 = coordinate("y2");
    command.buttons = mouseButtons(reader);
  } else if (verb == "wheel") {
    command.kind = EditorCommand::Kind::wheel;
    command.x1 = coordinate("x");
    command.y1 = coordinate("y");
    command.notches = static_cast<float>(reader.number("notches", kMaxNotches));
    noMoreWords(reader);
  } else if (verb == "key") {
    command.kind = EditorCommand::Kind::key;
    readKey(reader, command);
  } else if (verb == "type") {
    command.kind = EditorCommand::Kind::type;
    command.text = reader.rest();
  } else if (verb == "idle") {
    command.kind = EditorCommand::Kind::idle;
    command.count = static_cast<std::int32_t>(reader.integer("idle count", 0, kMaxIdles));
    noMoreWords(reader);
  } else if (verb == "shot") {
    command.kind = EditorCommand::Kind::shot;
    command.text = reader.rest();
    if (command.text.empty()) reader.fail("shot needs a file name");
  } else {
    reader.fail("unknown command '" + verb + "' (press, drag, wheel, key, type, idle, shot)");
  }
  return command;
}

}  // namespace

EditorScript EditorScript::parse(const std::string& source, const std::string& origin) {
  EditorScript script;
  std::istringstream lines(source);
  std::string text;
  for (int line = 1; std::getline(lines, text); ++line) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    // Only whole comment lines: '#' may be typed into a field.
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos || text[first] == '#') continue;
    ScriptLineReader reader(text.substr(first), line, origin);
    std::string verb = reader.need("command");
    script.list.push_back(readCommand(reader, verb, line));
    script.list.back().origin = origin;
  }
  return script;
}

EditorScript EditorScript::load(const std::string& path) {
  std::stringstream text;
  if (path == "-") {
    text << std::cin.rdbuf();
  } else {
    std::ifstream file(path);
    if (!file) throw RenderError("cannot read the script '" + path + "'", 2);
    text << file.rdbuf();
  }
  return parse(text.str(), "script '" + path + "'");
}

void EditorScript::append(const EditorScript& other) {
  list.insert(list.end(), other.list.begin(), other.list.end());
}
