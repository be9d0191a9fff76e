#pragma once
#include <cstdint>
#include <string>

// One command of an editor script (EditorScript), as read from its line.
struct EditorCommand {
  enum class Kind { press, drag, wheel, key, type, idle, shot };
  Kind kind = Kind::press;
  int line = 0;        // where it was written, for messages
  std::string origin;  // the script it came from: "--commands", "script 'x.txt'"
  std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::int32_t buttons = 0;     // press, drag: the buttons and modifiers held
  float notches = 0.0f;         // wheel
  std::int32_t character = 0;   // key
  std::int32_t virtualKey = 0;  // key
  std::int32_t modifiers = 0;   // key: the VST modifier bits
  std::int32_t count = 0;       // idle
  std::string text;             // type: the text; shot: the file

  // "--commands line 2"
  std::string where() const { return origin + " line " + std::to_string(line); }
};
