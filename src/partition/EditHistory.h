#pragma once
// The undo and redo history of a working copy, and each disk's state as last read or saved.
// Every edit passes CHardDisk::MarkModified, which tells the history; the history compares the
// disk with the state it last knew and keeps that earlier state as one step, so undo puts the
// disk back as a whole instead of running an inverse of each operation. A front end opens an
// EditStep around each user action: an action that reports several changes, or changes several
// disks, is then one step. Without an open step every reported change is a step of its own.
#include <map>
#include <set>
#include <vector>

#include "partition/DiskState.h"

namespace korvex {

class WorkingCopy;

class EditHistory {
 public:
  // The disk as read or just written: its pending changes are measured against this state.
  // Drops the disk's steps (a save or reload clears its history).
  void SetBaseline(const CHardDisk& disk);
  // The disk left the working copy.
  void Forget(unsigned device);
  void Clear();

  // An edit changed disk (called by CHardDisk::MarkModified).
  void Changed(const CHardDisk& disk);
  // Steps nest; the outermost end records what changed in between as one step.
  void BeginStep() { ++depth_; }
  void EndStep(const WorkingCopy& workingCopy);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // Puts the disks of the last step back as they were before it (or, for redo, after it); the
  // views hear of it through DiskChanged. False when there is nothing to undo (redo).
  bool Undo(WorkingCopy& workingCopy);
  bool Redo(WorkingCopy& workingCopy);

  // The state of the disk as read or last saved; nothing for a disk the history does not know.
  const DiskState* StateAsRead(unsigned device) const;

 private:
  struct DiskStep {
    unsigned device;
    DiskState state;
  };
  using Step = std::vector<DiskStep>;

  void Commit(const std::vector<const CHardDisk*>& disks);
  void CommitTouched(const WorkingCopy& workingCopy);
  bool Travel(WorkingCopy& workingCopy, std::vector<Step>& from, std::vector<Step>& to);
  void DropSteps(unsigned device);

  std::map<unsigned, DiskState> asRead_;
  std::map<unsigned, DiskState> known_;  // each disk as the last recorded change left it
  std::vector<Step> undo_;
  std::vector<Step> redo_;
  std::set<unsigned> touched_;  // disks changed inside the open step
  int depth_ = 0;
};

// One user action: the changes made while it lives are one step of the history.
class EditStep {
 public:
  explicit EditStep(WorkingCopy& workingCopy);
  ~EditStep();
  EditStep(const EditStep&) = delete;
  EditStep& operator=(const EditStep&) = delete;

 private:
  WorkingCopy& workingCopy_;
};

}  // namespace korvex
