// Settings files of any content: load, save over the same file, load again
// must give the same values and the same verdict.
#include "fuzz/FuzzTarget.h"
#include "library/Log.h"
#include "library/Settings.h"

using namespace tarvix;

TARVIX_FUZZ_TARGET(settings) {
  const auto path = fuzz::WorkDir() / kSettingsFileName;
  fuzz::WriteBytes(path, {data, size});
  MemoryLog log;
  Settings first;
  const bool firstOk = LoadSettings(path, first, log);

  SaveSettings(path, first, &first);
  Settings second;
  const bool secondOk = LoadSettings(path, second, log);
  if (secondOk != firstOk) fuzz::FuzzFail("a saved file reads with another verdict");
  if (!(second == first)) fuzz::FuzzFail("load, save, load changed a value");

  return 0;
}
