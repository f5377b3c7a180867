#include "editor/PatchEditDialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <array>

namespace tarvix {

std::optional<std::string> ShowParameterListView(const QString& caption, const AllowedValueList& list) {
  QDialog d;
  d.setObjectName("TfrmParameterListView");
  d.setWindowTitle(caption);
  auto* v = new QVBoxLayout(&d);
  auto* items = new QListWidget(&d);
  items->setObjectName("CheckListBox1");
  for (std::size_t i = 0; i < list.items.size(); ++i) {
    auto* it = new QListWidgetItem(QString::fromUtf8(list.items[i].c_str()), items);
    it->setCheckState(i < list.ticked.size() && list.ticked[i] ? Qt::Checked : Qt::Unchecked);
  }
  v->addWidget(items);
  auto* ok = new QPushButton("Ok", &d);
  ok->setObjectName("Button1");
  QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
  v->addWidget(ok);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  std::string mask;
  for (int i = 0; i < items->count(); ++i) mask += items->item(i)->checkState() == Qt::Checked ? '1' : '0';
  return mask;
}

std::optional<SoundLocation> ShowSelectLocation(SoundLocation preset, QWidget* parent) {
  QDialog d(parent);
  d.setObjectName("TfrmSelectLocation");
  d.setWindowTitle("Select Location");
  auto* f = new QFormLayout(&d);
  auto* bank = new QComboBox(&d);
  bank->setObjectName("cmbBank");
  for (char b = 'A'; b <= 'H'; ++b) bank->addItem(QString(QChar(b)));
  auto* program = new QComboBox(&d);
  program->setObjectName("cmbProgram");
  for (int p = 1; p <= 128; ++p) program->addItem(QString::number(p));
  bank->setCurrentIndex(std::clamp(preset.bank, 0, 7));
  program->setCurrentIndex(std::clamp(preset.program, 0, 127));
  f->addRow("Bank", bank);
  f->addRow("Program", program);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  f->addRow(buttons);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  return SoundLocation{bank->currentIndex(), program->currentIndex()};
}

std::optional<Tolerances> ShowCreateSchemaParameters(const Tolerances& current, QWidget* parent) {
  QDialog d(parent);
  d.setObjectName("TfrmCreateSchemaParameters");
  d.setWindowTitle("Create Schema Parameters");
  auto* v = new QVBoxLayout(&d);
  v->addWidget(new QLabel("lower value make more similar sounds (small sound family) the higher more different "
                          "sounds (large sound family)",
                          &d));
  struct Row {
    const char* name;
    const char* label;
    int max;
    int value;
  };
  const std::array<Row, 6> rows{{{"trbOctaveKnobTolerance", "Octave knobs tolerance", 64, current.octave},
                                 {"trbComboBoxTolerance", "List(Combobox) tolerance", 64, current.comboBox},
                                 {"trbKeytrackKnobTolerance", "Keytrack knobs tolerance", 127, current.keytrack},
                                 {"trbOtherKnobTolerance", "Other knobs tolerance", 64, current.otherKnobs},
                                 {"trbSemitoneTolerance", "Semitone tolerance", 64, current.semitone},
                                 {"trbDetuneTolerance", "Detune tolerance", 64, current.detune}}};
  std::array<QSlider*, 6> sliders{};
  auto* f = new QFormLayout;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    auto* s = new QSlider(Qt::Horizontal, &d);
    s->setObjectName(rows[i].name);
    s->setRange(0, rows[i].max);
    s->setValue(std::clamp(rows[i].value, 0, rows[i].max));
    auto* value = new QLabel(QString::number(s->value()), &d);
    QObject::connect(s, &QSlider::valueChanged, value, [value](int x) { value->setText(QString::number(x)); });
    auto* h = new QHBoxLayout;
    h->addWidget(s);
    h->addWidget(value);
    f->addRow(rows[i].label, h);
    sliders[i] = s;
  }
  v->addLayout(f);
  auto* buttons = new QDialogButtonBox(&d);
  buttons->addButton("Create", QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  v->addWidget(buttons);
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  Tolerances t;
  t.octave = sliders[0]->value();
  t.comboBox = sliders[1]->value();
  t.keytrack = sliders[2]->value();
  t.otherKnobs = sliders[3]->value();
  t.semitone = sliders[4]->value();
  t.detune = sliders[5]->value();
  return t;
}

}  // namespace tarvix
