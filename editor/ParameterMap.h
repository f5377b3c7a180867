#pragma once
// The parameter map: every control of the sound editor with the byte it
// edits, in the order the editor writes them. The editor builds its pages
// from it, schemas address controls by name through it, and the morph and
// locker use its offsets.

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "editor/ControlDefinition.h"

namespace tarvix {

class ParameterMap {
 public:
  static const ParameterMap& Instance();

  std::span<const ControlSpec> Controls() const { return controls_; }
  std::size_t size() const { return controls_.size(); }
  const ControlSpec& operator[](std::size_t i) const { return controls_[i]; }

  std::optional<std::size_t> Find(std::string_view name) const;
  // Like Find, but throws std::out_of_range naming the control.
  std::size_t IndexOf(std::string_view name) const;
  const ControlSpec& Spec(std::string_view name) const { return controls_[IndexOf(name)]; }

  // Controls that write the byte at this offset, in writing order.
  const std::vector<std::size_t>& ControlsAt(int offset) const;
  // Parameter bytes (offsets 7..389) that no control edits; they keep the
  // loaded sound's value. The name bytes count as edited (by the name field).
  const std::vector<int>& UneditedOffsets() const { return unedited_; }
  bool IsEdited(int offset) const;

  // The name field sits outside the table: 16 bytes from offset 370.
  static constexpr int kNameOffset = 370;
  static constexpr int kNameLength = 16;

 private:
  ParameterMap();
  std::vector<ControlSpec> controls_;
  std::unordered_map<std::string_view, std::size_t> byName_;
  std::vector<int> unedited_;
  std::vector<std::vector<std::size_t>> byOffset_;  // offset -> writers, in order
};

}  // namespace tarvix
