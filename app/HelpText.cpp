#include "app/HelpText.h"

#include "app/HelpLinks.h"

namespace tarvix {

std::vector<std::string> ShortHelpLines() {
  // The blanks inside the lines are part of the texts; they line up the
  // key names as the help has always shown them.
  return {
      "Shortcut help",
      "",
      kDriverNoteLine,
      "from: " + HelpUrl(kDriverNote),
      "",
      "Edit sound - F4",
      "Edit soundname - right click",
      "Select sound - Left Click or  Shift, Left Click or  Ctrl, Left Click",
      "Move selected sound -  Ctrl, right click",
      "Move down -  Ctrl, +",
      "Move Up -  Ctrl, -",
      "Program select - left click",
      "Next program  +",
      "Previous program  -",
      "Send sound to Blofeld -  Enter  or Ctrl, w",
      "",
      "Computer keyboard ",
      " W E    T Y U    O P",
      "A S D F G H J K L",
      "Z-down octave",
      "X-up octave",
      "",
      "Sound editor",
      "Ctrl+1 - Randomize Oscillators",
      "Ctrl+2 - Randomize Filters",
      "Ctrl+3 - Randomize Envelopes",
      "Ctrl+4 - Randomize LFOs",
      "Ctrl+5 - Randomize Matrix",
      "Ctrl+6 - Randomize Arpeggiator",
      "Ctrl+7 - Randomize Effects",
      "Ctrl+0 - Randomize the whole sound",
  };
}

}  // namespace tarvix
