#pragma once
// The small dialogs the sound editor opens, shown modally: the allowed
// value list, the slot chooser and the schema tolerances. The main window
// can hand the editor the program's own dialogs instead (PatchEditDialogs).

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "editor/SoundFamilySchema.h"
#include "editor/Tolerances.h"
#include "editor/TfrmPatchEdit.h"

class QWidget;

namespace tarvix {

// The tick mask ("0"/"1" per row) when closed with OK.
std::optional<std::string> ShowParameterListView(const QString& caption, const AllowedValueList& list);
// `names`: the 1024 slot names shown beside the program numbers (may be empty).
std::optional<SoundLocation> ShowSelectLocation(SoundLocation preset, const QStringList& names, QWidget* parent);
std::optional<Tolerances> ShowCreateSchemaParameters(const Tolerances& current, QWidget* parent);

}  // namespace tarvix
