#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The little language that drives the editor in its headless window, one command per line (or
// separated by ';' on the command line); a line that starts with '#' is a comment:
//   press X Y [MOD...]          a click at (X, Y) in the editor window
//   drag X1 Y1 X2 Y2 [MOD...]   press at the first point, move to the second, release
//   wheel X Y N                 N wheel notches at (X, Y); negative turns towards the user
//   key NAME [MOD...]           a key: return, enter, escape, tab, backspace, delete, left, right,
//                               up, down, home, end, space, or a single character
//   type TEXT                   the rest of the line typed character by character
//   idle N                      N editor idles (each after the window's pending paint)
//   shot FILE                   saves what the editor shows as a PNG file
// MOD is shift, control or alt; press and drag also take right or middle for another button.
struct EditorCommand {
  enum class Kind { press, drag, wheel, key, type, idle, shot };
  Kind kind = Kind::press;
  int line = 0;                        // where it was written, for messages
  std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::int32_t buttons = 0;            // press, drag: the buttons and modifiers held
  float notches = 0.0f;                // wheel
  std::int32_t character = 0;          // key
  std::int32_t virtualKey = 0;         // key
  std::int32_t modifiers = 0;          // key: the VST modifier bits
  std::int32_t count = 0;              // idle
  std::string text;                    // type: the text; shot: the file
};

class EditorScript {
public:
  // Throws RenderError (exit code 2) naming the line of the first command it cannot read.
  static EditorScript parse(const std::string& source, const std::string& origin);
  // The script in a file; "-" reads standard input.
  static EditorScript load(const std::string& path);

  const std::vector<EditorCommand>& commands() const { return list; }
  bool empty() const { return list.empty(); }
  void append(const EditorScript& other);

private:
  std::vector<EditorCommand> list;
};
