#include "tools/TfrmCopySounds.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "tools/CopySounds.h"
#include "tools/ProgramEntries.h"

namespace tarvix {

namespace {

QComboBox* BankList(QWidget* parent, const char* name) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  for (int b = 0; b < kBankCount; ++b) c->addItem(QString(QChar(BankLetter(b))));
  return c;
}

QComboBox* ProgramList(QWidget* parent, const char* name) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setMinimumWidth(180);
  return c;
}

}  // namespace

TfrmCopySounds::TfrmCopySounds(BankSet& blofeld, Log& log, std::function<void(int)> redrawRow, QWidget* parent)
    : QDialog(parent), blofeld_(blofeld), log_(log), redrawRow_(std::move(redrawRow)) {
  setObjectName("frmCopySounds");
  setWindowTitle("Copy Sounds");

  cmbBanks_ = BankList(this, "cmbBanks");
  cmbPrograms_ = ProgramList(this, "cmbPrograms");
  cmbBanks2_ = BankList(this, "cmbBanks2");
  cmbPrograms2_ = ProgramList(this, "cmbPrograms2");
  FillPrograms(cmbPrograms_, sourceBank_, sourceProgram_);
  FillPrograms(cmbPrograms2_, destBank_, destProgram_);

  edtCount_ = new QLineEdit("1", this);
  edtCount_->setObjectName("edtCount");
  edtCount_->installEventFilter(this);

  btnRandomSound_ = new QPushButton("Copy Sound", this);
  btnRandomSound_->setObjectName("btnRandomSound");
  btnRandomSound_->setDefault(true);

  lblError_ = new QLabel(this);
  lblError_->setObjectName("lblError");
  lblError_->setStyleSheet("color: rgb(255, 0, 0)");
  lblError_->setWordWrap(true);
  lblError_->hide();

  connect(cmbBanks_, &QComboBox::currentIndexChanged, this, &TfrmCopySounds::cmbBanksChange);
  connect(cmbPrograms_, &QComboBox::currentIndexChanged, this, &TfrmCopySounds::cmbProgramsChange);
  connect(cmbBanks2_, &QComboBox::currentIndexChanged, this, &TfrmCopySounds::cmbBanks2Change);
  connect(cmbPrograms2_, &QComboBox::currentIndexChanged, this, &TfrmCopySounds::cmbPrograms2Change);
  connect(edtCount_, &QLineEdit::textChanged, this, &TfrmCopySounds::edtCountChange);
  connect(btnRandomSound_, &QPushButton::clicked, this, &TfrmCopySounds::btnRandomSoundClick);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Source Bank", this), 0, 0);
  grid->addWidget(new QLabel("Source Program", this), 0, 1);
  grid->addWidget(cmbBanks_, 1, 0);
  grid->addWidget(cmbPrograms_, 1, 1);
  grid->addWidget(new QLabel("Dest Bank", this), 2, 0);
  grid->addWidget(new QLabel("Destination Program", this), 2, 1);
  grid->addWidget(cmbBanks2_, 3, 0);
  grid->addWidget(cmbPrograms2_, 3, 1);
  grid->addWidget(new QLabel("fill the next ? locations", this), 4, 0, 1, 2);
  grid->addWidget(edtCount_, 5, 0);
  grid->addWidget(btnRandomSound_, 5, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(lblError_);
}

void TfrmCopySounds::FillPrograms(QComboBox* list, int bank, int program) {
  const QSignalBlocker quiet(list);
  list->clear();
  for (const std::string& e : ProgramEntries(blofeld_, bank))
    list->addItem(QString::fromLatin1(e.data(), static_cast<qsizetype>(e.size())));
  list->setCurrentIndex(program);
}

void TfrmCopySounds::cmbBanksChange(int index) {
  if (index < 0 || index == sourceBank_) return;
  FillPrograms(cmbPrograms_, index, sourceProgram_);
  sourceBank_ = index;
}

void TfrmCopySounds::cmbProgramsChange(int index) {
  if (index >= 0) sourceProgram_ = index;
}

void TfrmCopySounds::cmbBanks2Change(int index) {
  if (index < 0 || index == destBank_) return;
  FillPrograms(cmbPrograms2_, index, destProgram_);
  destBank_ = index;
}

void TfrmCopySounds::cmbPrograms2Change(int index) {
  if (index >= 0) destProgram_ = index;
}

bool TfrmCopySounds::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edtCount_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Only digits may go in; the keys that move, delete or end the editing
    // keep working (Enter presses "Copy Sound", Esc closes the dialog).
    const bool digit = key->text().size() == 1 && key->text()[0] >= '0' && key->text()[0] <= '9';
    switch (key->key()) {
      case Qt::Key_Backspace: case Qt::Key_Delete: case Qt::Key_Tab: case Qt::Key_Backtab:
      case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
      case Qt::Key_Home: case Qt::Key_End: case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_Escape:
        return false;
      default:
        return !digit;  // every other key is swallowed
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmCopySounds::edtCountChange(const QString& text) {
  const std::string fixed = NormalizeCount(text.toStdString());
  if (fixed != text.toStdString()) edtCount_->setText(QString::fromStdString(fixed));
}

void TfrmCopySounds::btnRandomSoundClick() {
  const int n = CountOf(edtCount_->text().toStdString());
  if (n < 1) {
    accept();
    return;
  }
  const bool done = Guarded(log_, [&] { CopySoundsRun(blofeld_, SourceIndex(), DestinationIndex(), n, redrawRow_); });
  if (done) {
    accept();
    return;
  }
  // The slots up to H128 are written; stay open so the user can pick anew,
  // with program lists that show the names just written.
  FillPrograms(cmbPrograms_, sourceBank_, sourceProgram_);
  FillPrograms(cmbPrograms2_, destBank_, destProgram_);
  lblError_->setText("The run passes H128: only the slots up to H128 were filled.");
  lblError_->show();
}

}  // namespace tarvix
