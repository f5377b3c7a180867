#include "app/QtPrompter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace tarvix {

QString QtPrompter::QtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString pattern = parts[i + 1];
    pattern.replace(';', ' ');
    if (pattern == "*.*") pattern = "*";
    out << QString("%1 (%2)").arg(parts[i], pattern);
  }
  return out.join(";;");
}

Answer QtPrompter::Ask(const std::string& text, Buttons buttons) {
  QMessageBox::StandardButtons b = QMessageBox::Yes | QMessageBox::No;
  if (buttons == Buttons::YesNoCancel) b |= QMessageBox::Cancel;
  if (buttons == Buttons::SaveDiscardCancel) {
    // Unsaved work: Save is the default, Esc and closing the box cancel.
    QMessageBox box(QMessageBox::Warning, "Tarvix", QString::fromStdString(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.setObjectName("msgUnsavedChanges");
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    const int r = box.exec();
    if (r == QMessageBox::Save) return Answer::Yes;
    if (r == QMessageBox::Discard) return Answer::No;
    return Answer::Cancel;
  }
  if (buttons == Buttons::Ok) {
    QMessageBox::information(parent_, "Tarvix", QString::fromStdString(text));
    return Answer::Yes;
  }
  const auto r = QMessageBox::question(parent_, "Confirm", QString::fromStdString(text), b);
  if (r == QMessageBox::Yes) return Answer::Yes;
  if (r == QMessageBox::No) return Answer::No;
  return Answer::Cancel;
}

std::optional<std::string> QtPrompter::OpenFileName(const FileRequest& request) {
  const QString f = QFileDialog::getOpenFileName(parent_, "Open", QString(), QtFilter(request.filter));
  if (f.isEmpty()) return std::nullopt;
  return f.toStdString();
}

std::optional<std::string> QtPrompter::SaveFileName(const FileRequest& request) {
  // The replace question is the program's own, so the dialog must not ask it.
  QFileDialog dlg(parent_, "Save", QString(), QtFilter(request.filter));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!request.defaultExtension.empty()) dlg.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
  return dlg.selectedFiles().first().toStdString();
}

}  // namespace tarvix
