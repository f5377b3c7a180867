#pragma once
// The port to the receive dialog ("SysEx Communication"): what the receive
// dispatcher shows while it waits for the instrument or sends to it. The
// window implements it; tests and the command-line tool use their own.

#include <functional>
#include <string>

namespace tarvix {

namespace receiver_text {
inline constexpr const char* kCaption = "SysEx Communication";
inline constexpr const char* kWaiting = "Waiting for Blofeld.";
inline constexpr const char* kReadingCurrentSound = "Reading Current Sound.";
inline constexpr const char* kReceivedCurrentSound = "Received current sound.";
inline constexpr const char* kReceivedGlobals = "Received globals.";
inline constexpr int kTickMs = 1000;  // the dialog's timer period
}  // namespace receiver_text

class ReceiverUi {
 public:
  virtual ~ReceiverUi() = default;
  virtual void SetLabel(const std::string& text) = 0;
  virtual void SetTitle(const std::string& text) = 0;
  // Shows the dialog modally; onClosed runs once when it closes (a window may
  // block until then, a test or the command-line tool returns at once).
  virtual void ShowModal(std::function<void()> onClosed) = 0;
  // Shows the dialog without waiting (while sending).
  virtual void ShowModeless() = 0;
  virtual void Hide() = 0;
  // Ends a modal showing (its onClosed runs) or hides a modeless one. No
  // effect while hidden.
  virtual void Close() = 0;
  // done of total messages received or sent so far (total 0: unknown).
  virtual void SetProgress(int /*done*/, int /*total*/) {}
  // While a job runs the close button cancels it and says so.
  virtual void SetCancelable(bool /*on*/) {}
};

}  // namespace tarvix
