#include "library/SoundFile.h"

#include <cerrno>
#include <fstream>
#include <stdexcept>

#include "library/AtomicFile.h"

namespace tarvix {
namespace {

std::ifstream OpenForReading(const std::filesystem::path& file) { return OpenFileForReading(file); }

bool ReadRecord(std::ifstream& in, SoundData& s) {
  in.read(reinterpret_cast<char*>(s.data()), static_cast<std::streamsize>(kSoundSize));
  return in.gcount() == static_cast<std::streamsize>(kSoundSize);
}

void WriteSound(AtomicFileWriter& out, const SoundData& s) { out.Write(std::span<const std::uint8_t>(s.bytes)); }

bool FileExists(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::exists(p, ec);
}

}  // namespace

int CountSoundsInFile(const std::filesystem::path& file) {
  OpenForReading(file);
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec) throw std::runtime_error(FileError(file, ec.value()));
  const auto n = size / kSoundSize;
  return n > static_cast<std::uintmax_t>(INT32_MAX) ? INT32_MAX : static_cast<int>(n);
}

LoadResult LoadSoundFile(BankSet& set, const std::filesystem::path& file, int start) {
  if (start != kOwnPositions && (start < 0 || start >= kSlotCount))
    throw std::invalid_argument("start position " + std::to_string(start) + " is no slot");
  std::ifstream in = OpenForReading(file);
  set.SelectionList.clear();
  LoadResult result;
  result.fileName = file.filename().string();
  SoundData s;
  for (long record = 0; ReadRecord(in, s); ++record) {
    if (s[offs::kCategory] >= kCategoryCount) s[offs::kCategory] = 0;
    s[offs::kChecksum] = 0x7F;
    int target;
    if (start == kOwnPositions) {
      // A record that names no slot (an edit-buffer dump, or garbage) stops
      // the read: guessing a slot for it could overwrite a sound the user
      // keeps. Program bytes above 127 would address a slot of the next bank
      // or lie outside the set altogether.
      const int bank = s[offs::kBank], program = s[offs::kProgram];
      if (bank >= kBankCount || program >= kProgramsPerBank)
        throw std::runtime_error(file.string() + ": record " + std::to_string(record + 1) + " names bank " +
                                 std::to_string(bank) + ", program " + std::to_string(program) +
                                 ", which is no slot; reading stopped there");
      target = bank * kProgramsPerBank + program;
    } else {
      target = start;
      start = (start + 1) % kSlotCount;
    }
    set.Sound(target) = s;
    set.SetChanged(target, false);
    ++result.stored;
  }
  return result;
}

std::string GroupCaption(BankSetKind kind, const std::string& fileName) {
  return std::string(kind == BankSetKind::Blofeld ? "Blofeld banks (" : "Virtual banks (") + fileName + ")";
}

void WriteSoundRecords(const std::filesystem::path& file, const std::vector<const SoundData*>& sounds) {
  AtomicFileWriter out(file);
  for (const SoundData* s : sounds) WriteSound(out, *s);
  out.Commit();
}

std::optional<std::filesystem::path> SaveSelectedSounds(const BankSet& set, Prompter& prompter) {
  const auto name = prompter.SaveFileName(kSysExFiles);
  if (!name) return std::nullopt;
  const std::filesystem::path file(*name);
  if (FileExists(file) && prompter.Ask(questions::kReplace, Buttons::YesNo) != Answer::Yes) return std::nullopt;
  std::vector<const SoundData*> sounds;
  for (int i = 0; i < kSlotCount; ++i)
    if (set.IsSelected(i) && !IsEmptySlot(set.Sound(i))) sounds.push_back(&set.Sound(i));
  WriteSoundRecords(file, sounds);
  return file;
}

std::vector<std::filesystem::path> SaveSeparateFiles(BankSet& set, Prompter& prompter) {
  std::vector<std::filesystem::path> written;
  const auto name = prompter.SaveFileName(kSysExFiles);
  if (!name) return written;
  if (set.SelectedCount() < 2 && prompter.Ask(questions::kSelectAll, Buttons::YesNo) == Answer::Yes)
    for (int i = 0; i < kSlotCount; ++i) set.Select(i);
  for (int i = 0; i < kSlotCount; ++i) {
    if (!set.IsSelected(i) || IsEmptySlot(set.Sound(i))) continue;
    const std::filesystem::path file(*name + std::to_string(i + 1) + ".syx");
    if (FileExists(file)) {
      const Answer a = prompter.Ask(questions::kReplace, Buttons::YesNoCancel);
      if (a == Answer::Cancel) break;
      if (a == Answer::No) continue;
    }
    WriteSoundRecords(file, {&set.Sound(i)});
    written.push_back(file);
  }
  return written;
}

void SaveAllRenumbered(BankSet& set, const std::filesystem::path& file) {
  AtomicFileWriter out(file);
  for (int i = 0; i < kSlotCount; ++i) {
    SoundData& s = set.Sound(i);
    s[offs::kBank] = static_cast<std::uint8_t>(i / kProgramsPerBank);
    s[offs::kProgram] = static_cast<std::uint8_t>(i % kProgramsPerBank);
    WriteSound(out, s);
  }
  out.Commit();
}

bool IsSoundDump(const SoundData& s) {
  return s[offs::kStart] == 0xF0 && s[offs::kManufacturer] == 0x3E && s[offs::kModel] == 0x13 &&
         s[offs::kCommand] == 0x10 && s[offs::kEnd] == 0xF7;
}

std::vector<SoundData> ReadSoundRecords(const std::filesystem::path& file) {
  std::ifstream in = OpenForReading(file);
  std::vector<SoundData> records;
  SoundData s;
  while (ReadRecord(in, s)) records.push_back(s);
  return records;
}

}  // namespace tarvix
