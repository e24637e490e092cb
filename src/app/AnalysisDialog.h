#pragma once
// "Festplattenanalyse": searches a disk for the traces of lost partitions on a worker thread
// and lists each hit under the disk as soon as it is found; "Ansehen" shows the hit's sector in
// the "Sektoransicht", "Löschen" prunes the list, and "Übernehmen" puts a found volume back
// into the disk's working copy.
#include <optional>
#include <vector>

#include <wx/treectrl.h>

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
  // Selects the listed hit at sector; false when there is none.
  bool SelectHit(std::uint64_t sector);
  // A click on the list's root item: while nothing or the root is selected, the item below the
  // root (the first hit) is selected instead. False when there is none or another item is
  // selected; the click then selects the root as usual.
  bool ClickRoot();
  // "Ansehen": the selected hit's sector in the modal "Sektoransicht".
  void ViewSelected();
  // "Löschen": the selected hit leaves the list.
  void DeleteSelected();
  // "Übernehmen": the selected hit's volume becomes a partition of the working copy; the
  // new partition, or nothing after a message.
  CPartition* AdoptSelected();

 private:
  void AddHit(const ScanHit& hit);
  const ScanHit* SelectedHit() const;
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
