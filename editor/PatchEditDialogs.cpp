#include "editor/PatchEditDialogs.h"

#include <QStringList>

#include "editor/TfrmCreateSchemaParameters.h"
#include "tools/TfrmParameterListView.h"
#include "tools/TfrmSelectLocation.h"

namespace tarvix {

std::optional<std::string> ShowParameterListView(const QString& caption, const AllowedValueList& list) {
  TfrmParameterListView d;
  d.setWindowTitle(caption);
  QStringList items;
  QString mask;
  for (std::size_t i = 0; i < list.items.size(); ++i) {
    items << QString::fromUtf8(list.items[i].c_str());
    mask += i < list.ticked.size() && list.ticked[i] ? '1' : '0';
  }
  d.SetItems(items, mask);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.Mask().toStdString();
}

std::optional<SoundLocation> ShowSelectLocation(SoundLocation preset, const QStringList& names, QWidget* parent) {
  TfrmSelectLocation d(parent);
  d.SetSoundNames(names);
  d.SetLocation(preset.bank, preset.program);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return SoundLocation{d.Bank(), d.Program()};
}

std::optional<Tolerances> ShowCreateSchemaParameters(const Tolerances& current, QWidget* parent) {
  TfrmCreateSchemaParameters d(current, parent);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return d.SliderTolerances();
}

}  // namespace tarvix
