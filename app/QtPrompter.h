#pragma once
// The Prompter port answered by the user: message boxes and file dialogs.

#include <QWidget>

#include "library/Prompter.h"

namespace tarvix {

class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent) : parent_(parent) {}
  Answer Ask(const std::string& text, Buttons buttons) override;
  std::optional<std::string> OpenFileName(const FileRequest& request) override;
  std::optional<std::string> SaveFileName(const FileRequest& request) override;

  // "SysEx Files|*.syx|All files|*.*" to Qt's "SysEx Files (*.syx);;All files (*)".
  static QString QtFilter(const std::string& filter);

 private:
  QWidget* parent_;
};

}  // namespace tarvix
