#pragma once
// The Library window: every sound the program has seen, found as the musician
// types. A search box (any name the sound was seen with), a category, a
// parameter filter ("Osc1 Shape=Saw; Filter 1 Cutoff=64"), favourites
// and tags narrow the list; the searches run on their own thread
// (LibrarySearch). From the list a sound is auditioned through the edit
// buffer, dragged onto a bank row, copied to a Virtual slot or exported.
// What auditioning and copying do to the instrument and the bank sets is the
// main window's: this window hands it the sounds.

#include <QDialog>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "library/Prompter.h"
#include "soundlib/SoundLibrary.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tarvix {

class LibraryListModel;
class LibrarySearch;

struct LibraryWindowHooks {
  std::function<void(const SoundData&)> audition;
  std::function<void(const std::vector<SoundData>&)> copyToVirtualSlot;
  std::function<void(const std::string&)> log;
  Prompter* prompter = nullptr;
};

class TfrmLibrary : public QDialog {
  Q_OBJECT
 public:
  // Opens the library file; throws LibraryError when it cannot be used.
  TfrmLibrary(const std::filesystem::path& file, LibraryWindowHooks hooks, QWidget* parent = nullptr);
  ~TfrmLibrary() override;

  SoundLibrary& Library() { return *library_; }
  LibraryListModel* Model() const { return model_; }
  QTableView* List() const { return tvSounds_; }
  // Whether a search was asked for and its answer has not yet arrived.
  bool Searching() const;
  // Runs the search again (after sounds were added to the library).
  void Refresh();

 private:
  void BuildLayout();
  // The query the filters spell; false (and the reason shown) when the
  // parameter filter cannot be read.
  bool BuildQuery(LibraryQuery& query);
  void QueryChanged();
  void ShowResults();
  void ListClicked(const QModelIndex& index);
  void CurrentChanged();
  void ApplyTags();
  void FillTagFilter();
  std::vector<std::int64_t> SelectedIds() const;
  void AuditionClick();
  void CopyToSlotClick();
  void ExportClick();
  void ImportClick();
  void Log(const std::string& text);

  LibraryWindowHooks hooks_;
  std::unique_ptr<SoundLibrary> library_;
  std::unique_ptr<LibrarySearch> search_;
  LibraryListModel* model_ = nullptr;
  QLineEdit* edtSearch_ = nullptr;
  QComboBox* cmbCategory_ = nullptr;
  QLineEdit* edtWhere_ = nullptr;
  QCheckBox* chkFavourites_ = nullptr;
  QComboBox* cmbTag_ = nullptr;
  QTableView* tvSounds_ = nullptr;
  QLabel* lblStatus_ = nullptr;
  QLabel* lblNames_ = nullptr;
  QLineEdit* edtTags_ = nullptr;
  QPushButton* btnAudition_ = nullptr;
  QPushButton* btnCopyToSlot_ = nullptr;
  QPushButton* btnExport_ = nullptr;
  QPushButton* btnImport_ = nullptr;
  std::int64_t shownId_ = 0;  // the sound whose names and tags are shown
};

}  // namespace tarvix
