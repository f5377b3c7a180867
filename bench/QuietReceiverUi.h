#pragma once
// The receive dialog for benchmarks: shows nothing, and Close() ends the
// modal wait the way the dialog's timer or "&Close" would.

#include <functional>
#include <string>

#include "midi/ReceiverUi.h"

namespace tarvix::bench {

struct QuietReceiverUi : ReceiverUi {
  void SetLabel(const std::string&) override {}
  void SetTitle(const std::string&) override {}
  void ShowModal(std::function<void()> f) override { onClosed = std::move(f); }
  void ShowModeless() override {}
  void Hide() override {}
  void Close() override {
    if (auto f = std::move(onClosed)) f();
  }
  std::function<void()> onClosed;
};

}  // namespace tarvix::bench
