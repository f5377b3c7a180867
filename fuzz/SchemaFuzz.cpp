// Sound-family schema files of any content: load, draw a value for every
// control, save, load again. Every draw lies within its control's range and
// the reloaded masks equal the ones saved.
#include "editor/ControlTable.h"
#include "editor/SoundFamilySchema.h"
#include "fuzz/FuzzTarget.h"
#include "library/Log.h"
#include "library/RandomSource.h"

using namespace tarvix;

TARVIX_FUZZ_TARGET(schema) {
  static const std::vector<SchemaControl> controls = ControlTableDescriptors();
  const auto path = fuzz::WorkDir() / "family.sndfamily";
  fuzz::WriteBytes(path, {data, size});
  MemoryLog log;
  SoundFamilySchema schema(controls);
  schema.Load(path, &log);

  RandomSource random(static_cast<std::uint32_t>(size));
  for (const SchemaControl& c : schema.Controls()) {
    if (!schema.Control(c.name)) continue;
    const int v = schema.RandomValueFor(c.name, random);
    const int lo = c.kind == ControlKind::Knob ? c.min : 0;
    const int hi = c.kind == ControlKind::Knob ? c.max : ValueCount(c) - 1;
    if (ValueCount(c) > 0 && (v < lo || v > hi)) fuzz::FuzzFail("drawn value outside its control's range");
  }

  schema.Save(path);
  SoundFamilySchema reloaded(controls);
  reloaded.Load(path, &log);
  for (std::size_t i = 0; i < schema.Entries().size(); ++i)
    if (reloaded.Entries()[i].mask != schema.Entries()[i].mask) fuzz::FuzzFail("a mask changed on save and reload");
  return 0;
}
