#pragma once
// "Find Sound": a piece of a name and/or a category to look for. The search
// itself is the main window's; this dialog only collects what to look for.

#include <QDialog>

#include <cstdint>
#include <string>

class QComboBox;
class QLineEdit;

namespace tarvix {

inline constexpr std::uint8_t kAnyCategory = 0xFF;

class TfrmFind : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmFind(QWidget* parent = nullptr);

  // Results, meaningful after "Find" (Accepted).
  // The name field as typed (up to 16 characters, not trimmed), as Latin-1
  // bytes like the sound names it is compared with.
  std::string SearchText() const;
  // 0..12 for a category, kAnyCategory for "All".
  std::uint8_t SearchCategory() const;

 private:
  QLineEdit* edtName_;
  QComboBox* cmbCategory_;
};

}  // namespace tarvix
