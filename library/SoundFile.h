#pragma once
// SysEx sound files: plain sequences of 392-byte sound dumps, no header. Read
// as a stream of records (constant memory for any size), written atomically.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "library/BankSet.h"
#include "library/Prompter.h"

namespace tarvix {

// Start position meaning "every record to the slot its own bank and program
// bytes name".
inline constexpr int kOwnPositions = -1;

// Number of whole records in the file (its size div 392). Throws when the
// file cannot be opened.
int CountSoundsInFile(const std::filesystem::path& file);

struct LoadResult {
  int stored = 0;        // records stored into slots
  std::string fileName;  // the file's name without its folder
};

// Reads the file into the set: from start (0..1023, wrapping past H128 to
// A001) or, with kOwnPositions, to each record's own slot. Every stored record
// gets its category clamped to 0..12 (else 0), checksum byte 7F and its
// changed flag cleared; the set's SelectionList is emptied. Throws on an
// unreadable file, and - in own-positions mode - at a record that addresses
// no slot; records stored before it stay stored.
LoadResult LoadSoundFile(BankSet& set, const std::filesystem::path& file, int start);

// "Blofeld banks (pads.syx)" / "Virtual banks (pads.syx)".
std::string GroupCaption(BankSetKind kind, const std::string& fileName);

// Asks for a file name and writes the selected, non-empty slots in slot order,
// unchanged. Returns the file written, or nothing when the user cancelled.
std::optional<std::filesystem::path> SaveSelectedSounds(const BankSet& set, Prompter& prompter);

// Writes the selected, non-empty slots each to a file of its own, named the
// chosen name followed by the slot number (1..1024) and ".syx". Asks
// "Select all?" when fewer than two rows are selected. Returns the files
// written.
std::vector<std::filesystem::path> SaveSeparateFiles(BankSet& set, Prompter& prompter);

// Writes all 1024 slots in position order, stamping each slot's own bank and
// program bytes into the set first. Empty slots are written too.
void SaveAllRenumbered(BankSet& set, const std::filesystem::path& file);

// True when the record has the frame of a sound dump: F0 3E 13, command 10
// and F7 at its end. Loading does not ask this (any record is stored); tools
// that compute a new sound from a record do.
bool IsSoundDump(const SoundData& s);

// Reads every whole record of a file (for tools that work on small files).
std::vector<SoundData> ReadSoundRecords(const std::filesystem::path& file);
// Writes the sounds back to back, atomically.
void WriteSoundRecords(const std::filesystem::path& file, const std::vector<const SoundData*>& sounds);

}  // namespace tarvix
