// lumivane-render's editor script parser takes any text: a list of commands or a one-line error,
// never a crash. The parser's sources are compiled in here, as the tool is not a library.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/render/EditorScript.cpp"
#include "tools/render/ScriptLineReader.cpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    EditorScript script =
        EditorScript::parse(std::string(reinterpret_cast<const char*>(data), size), "fuzz");
    for (const EditorCommand& command : script.commands())
      if (command.line < 1) __builtin_trap();
  } catch (const RenderError& error) {
    if (error.exitCode != 2) __builtin_trap();
  }
  return 0;
}
