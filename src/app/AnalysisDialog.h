#pragma once
// "Festplattenanalyse": searches a disk for the traces of lost partitions on a worker thread
// and lists each hit under the disk as soon as it is found (a volume with its file system and
// size), after a complete search the lost extended partitions; the status shows the time left
// and when the search has ended. "Ansehen" shows the item's sector in the "Sektoransicht",
// "Löschen" prunes the list, and "Übernehmen" puts a found volume, or a lost extended partition
// with all its logical drives, back into the disk's working copy.
#include <functional>
#include <optional>
#include <vector>

#include <wx/treectrl.h>

#include "analysis/LostExtended.h"
#include "analysis/ScanHit.h"
#include "app/LongWorkDialog.h"
#include "partition/CHardDisk.h"

namespace korvex {

class CAnalysisDlg final : public CLongWorkDlg {
 public:
  CAnalysisDlg(wxWindow* parent, CHardDisk& disk, CPrompt& prompt);

  wxTreeCtrl& resultTree() const { return *tree_; }
  wxButton& startButton() const { return *start_; }
  wxButton& viewButton() const { return *view_; }
  wxButton& deleteButton() const { return *delete_; }
  wxButton& adoptButton() const { return *adopt_; }

  // "Start": a new search; the hits of an earlier one make way for it.
  void Start();
  // The hits in the list, in list order.
  std::vector<ScanHit> Hits() const;
  // The lost extended partitions in the list, in list order.
  std::vector<LostExtended> LostExtendedPartitions() const;
  // Selects the listed hit at sector; false when there is none.
  bool SelectHit(std::uint64_t sector);
  // Selects the listed lost extended partition that begins at start; false when there is none.
  bool SelectLostExtended(std::uint64_t start);
  // A click on the list's root item: while nothing or the root is selected, the item below the
  // root (the first hit) is selected instead. False when there is none or another item is
  // selected; the click then selects the root as usual.
  bool ClickRoot();
  // "Ansehen": the selected hit's sector in the modal "Sektoransicht".
  void ViewSelected();
  // "Löschen": the selected hit leaves the list.
  void DeleteSelected();
  // "Übernehmen": the selected hit's volume becomes a partition of the working copy, a selected
  // lost extended partition comes back with its logical drives; the new partition (the
  // extended one), or nothing after a message.
  CPartition* AdoptSelected();

 private:
  class ItemData;
  void AddHit(const ScanHit& hit);
  void AddLostExtended(const LostExtended& lost);
  std::vector<const ItemData*> Items() const;
  bool SelectItem(const std::function<bool(const ItemData&)>& wanted);
  const ItemData* SelectedItem() const;
  void FollowSelection();
  void OnEnded(const WorkOutcome& outcome);

  CHardDisk& disk_;
  wxTreeCtrl* tree_ = nullptr;
  wxTreeItemId root_;
  wxButton* start_ = nullptr;
  wxButton* view_ = nullptr;
  wxButton* delete_ = nullptr;
  wxButton* adopt_ = nullptr;
};

}  // namespace korvex
