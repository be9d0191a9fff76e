#include "tools/validate/CheckRunner.h"

#include <exception>
#include <string>

#include "tools/validate/CheckContext.h"
#include "tools/validate/CheckList.h"
#include "tools/validate/CheckOutcomes.h"
#include "tools/validate/Platform.h"
#include "tools/validate/ResultFile.h"
#include "tools/validate/ValidatorHost.h"

int runCheckInThisProcess(const ValidateOptions& options) {
  platform::prepareCheckProcess();
  const CheckDefinition& check = *findCheck(options.runCheck);
  ResultFile results(options.resultFile);
  results.step("starting");
  CheckContext context(options.pluginPath, check.name, options.strictness, options.seed, results);
  try {
    std::string detail = check.run(context);
    // Requests the plug-in made of the host while the check ran count against it too.
    std::string hostProblem = ValidatorHost::problem();
    if (!hostProblem.empty()) throw CheckFailure(hostProblem);
    results.finish(ResultFile::Status::passed, detail);
  } catch (const CheckFailure& failure) {
    results.finish(ResultFile::Status::failed, failure.what());
  } catch (const CheckSkipped& skipped) {
    results.finish(ResultFile::Status::skipped, skipped.what());
  } catch (const std::exception& exception) {
    results.finish(ResultFile::Status::failed,
                   std::string("an exception came out of the plug-in: ") + exception.what());
  } catch (...) {
    results.finish(ResultFile::Status::failed,
                   "an exception of unknown type came out of the plug-in");
  }
  // A plug-in that crashes while its library is unloaded is reported by the validator, which
  // sees the verdict and then the crash.
  context.unload();
  return 0;
}
