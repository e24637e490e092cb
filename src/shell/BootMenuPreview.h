#pragma once
// The rules of the "Vorschau auf's Bootmenü" dialog without a window: a working order of the
// menu entries and the two colours being edited, the screen the engine would paint for them, and
// what OK and "Abbrechen" do. Nothing reaches the working copy before Accept.
#include <optional>
#include <vector>

#include "bootengine/MenuConfig.h"
#include "bootengine/MenuScreen.h"
#include "partition/CHardDisk.h"
#include "partition/WorkingCopy.h"
#include "platform/Prompt.h"
#include "textscreen/TextScreen.h"

namespace korvex {

class BootMenuPreview {
 public:
  enum class Target { Menu, Bar };  // "&Menü" / "&Auswahl"

  // disk, a disk of workingCopy, must carry the engine; its menu entries and objects must stay
  // while the model lives.
  BootMenuPreview(WorkingCopy& workingCopy, CHardDisk& disk);

  // The colour strip: 16 fields, the first 22 pixels wide, every other 24. Nothing beyond it.
  static std::optional<unsigned> StripColourAt(int x);

  void SetTarget(Target target) { target_ = target; }
  void SetBackground(bool background) { background_ = background; }
  Target target() const { return target_; }
  bool background() const { return background_; }
  // Puts colour 0..15 into the edited nibble; a background takes only 0..7 (false otherwise).
  bool PickColour(unsigned colour);
  const MenuColours& colours() const { return colours_; }
  bool ColoursChanged() const { return !(colours_.menu == opened_.menu && colours_.bar == opened_.bar); }

  // The entries in their working order and the highlighted one.
  const std::vector<CPartition*>& order() const { return order_; }
  unsigned selected() const { return selected_; }
  // A click on screen row row: an entry's line becomes the selection (false elsewhere).
  bool SelectRow(unsigned row);
  // Menu position position becomes the selection (false beyond the menu).
  bool Select(unsigned position);
  // The countdown shown, as the engine keeps it (two BCD digits); the timeout until set.
  void SetCountdown(std::uint8_t bcd) { countdown_ = bcd; }
  bool CanMoveUp() const { return selected_ >= 1 && selected_ < order_.size(); }
  bool CanMoveDown() const { return selected_ + 1 < order_.size(); }
  // "Nach &oben" / "Nach &unten": the selected entry changes places with its neighbour and stays
  // selected.
  void MoveSelected(bool up);

  // What the screen shows besides the lines: the selected entry and the countdown (at its start
  // value unless set).
  MenuScreenState State() const;
  // The boot screen as the engine paints it with the working order and colours in State().
  TextScreen Screen() const;

  // OK: the colour checks (33540, 33541, 33542 in this order, stop icon; false and nothing
  // changed), then the colours and the working order go into the working copy.
  bool Accept(CPrompt& prompt);
  // "Abbrechen": true when the dialog may close. After colour changes the user is asked 33539
  // and only Yes lets it close; the working copy is never touched.
  bool MayCancel(CPrompt& prompt) const;

 private:
  WorkingCopy& workingCopy_;
  CHardDisk& disk_;
  std::vector<CPartition*> order_;
  MenuColours opened_;
  MenuColours colours_;
  Target target_ = Target::Menu;
  bool background_ = false;
  unsigned selected_ = 0;
  std::optional<std::uint8_t> countdown_;

  // The engine area with the working order's lines and the working colours.
  EngineAreaImage Area() const;
};

}  // namespace korvex
