// lumivane-render: renders audio through a VST 2.4 plug-in library without a DAW.
#include <cstdio>
#include <new>

#include "tools/render/CommandLine.h"
#include "tools/render/RenderError.h"
#include "tools/render/RenderSession.h"

int main(int argc, char** argv) {
  try {
    RenderOptions options = parseCommandLine(argc, argv);
    if (options.showHelp) {
      std::fputs(usageText().c_str(), stdout);
      return 0;
    }
    if (options.showInfo)
      runInfo(options);
    else
      runRender(options);
    return 0;
  } catch (const RenderError& error) {
    std::fprintf(stderr, "lumivane-render: %s\n", error.what());
    return error.exitCode;
  } catch (const std::bad_alloc&) {
    std::fputs("lumivane-render: out of memory (a smaller --block needs less)\n", stderr);
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "lumivane-render: %s\n", error.what());
    return 1;
  }
}
