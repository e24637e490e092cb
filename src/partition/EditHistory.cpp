#include "partition/EditHistory.h"

#include "partition/WorkingCopy.h"

namespace korvex {
namespace {

// Steps kept for undo; the oldest go first. A step holds a copy of each disk it changed, a few
// kilobytes.
constexpr std::size_t kMaxSteps = 1000;

}  // namespace

void EditHistory::SetBaseline(const CHardDisk& disk) {
  const unsigned device = disk.DeviceNumber();
  asRead_[device] = CaptureState(disk);
  known_[device] = asRead_[device];
  touched_.erase(device);
  DropSteps(device);
}

void EditHistory::Forget(unsigned device) {
  asRead_.erase(device);
  known_.erase(device);
  touched_.erase(device);
  DropSteps(device);
}

void EditHistory::Clear() {
  asRead_.clear();
  known_.clear();
  touched_.clear();
  undo_.clear();
  redo_.clear();
}

void EditHistory::Changed(const CHardDisk& disk) {
  if (depth_ > 0) {
    touched_.insert(disk.DeviceNumber());
  } else {
    Commit({&disk});
  }
}

void EditHistory::EndStep(const WorkingCopy& workingCopy) {
  if (--depth_ == 0) CommitTouched(workingCopy);
}

void EditHistory::CommitTouched(const WorkingCopy& workingCopy) {
  std::vector<const CHardDisk*> disks;
  for (const unsigned device : touched_) {
    if (const CHardDisk* disk = workingCopy.Find(device)) disks.push_back(disk);
  }
  touched_.clear();
  Commit(disks);
}

void EditHistory::Commit(const std::vector<const CHardDisk*>& disks) {
  Step step;
  for (const CHardDisk* disk : disks) {
    const auto known = known_.find(disk->DeviceNumber());
    if (known == known_.end()) continue;
    DiskState now = CaptureState(*disk);
    if (SameContent(known->second, now)) continue;
    step.push_back({disk->DeviceNumber(), std::move(known->second)});
    known->second = std::move(now);
  }
  if (step.empty()) return;
  undo_.push_back(std::move(step));
  if (undo_.size() > kMaxSteps) undo_.erase(undo_.begin());
  redo_.clear();
}

bool EditHistory::Undo(WorkingCopy& workingCopy) { return Travel(workingCopy, undo_, redo_); }
bool EditHistory::Redo(WorkingCopy& workingCopy) { return Travel(workingCopy, redo_, undo_); }

bool EditHistory::Travel(WorkingCopy& workingCopy, std::vector<Step>& from, std::vector<Step>& to) {
  // A change of the running action that is not recorded yet is a step of its own first.
  CommitTouched(workingCopy);
  if (from.empty()) return false;
  const Step step = std::move(from.back());
  from.pop_back();
  Step back;
  for (const DiskStep& saved : step) {
    CHardDisk* disk = workingCopy.Find(saved.device);
    if (disk == nullptr) continue;
    back.push_back({saved.device, CaptureState(*disk)});
    known_[saved.device] = saved.state;
    RestoreState(*disk, saved.state);
  }
  to.push_back(std::move(back));
  return true;
}

void EditHistory::DropSteps(unsigned device) {
  for (std::vector<Step>* steps : {&undo_, &redo_}) {
    for (Step& step : *steps) std::erase_if(step, [&](const DiskStep& saved) { return saved.device == device; });
    std::erase_if(*steps, [](const Step& step) { return step.empty(); });
  }
}

const DiskState* EditHistory::StateAsRead(unsigned device) const {
  const auto found = asRead_.find(device);
  return found == asRead_.end() ? nullptr : &found->second;
}

EditStep::EditStep(WorkingCopy& workingCopy) : workingCopy_(workingCopy) { workingCopy_.history().BeginStep(); }
EditStep::~EditStep() { workingCopy_.history().EndStep(workingCopy_); }

}  // namespace korvex
