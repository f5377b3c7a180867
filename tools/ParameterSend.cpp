#include "tools/ParameterSend.h"

namespace tarvix {

int SendChangedParameters(const SoundData& before, const SoundData& after, const ParameterSendFn& send) {
  int sent = 0;
  for (std::size_t o = offs::kFirstParameter; o <= offs::kLastParameter; ++o) {
    if (before[o] == after[o]) continue;
    if (send) send(static_cast<int>(o - offs::kFirstParameter), ToDataByte(after[o]));
    ++sent;
  }
  return sent;
}

}  // namespace tarvix
