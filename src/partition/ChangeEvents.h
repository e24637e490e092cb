#pragma once
// What the working copy tells the views when it changes. Every edit of a disk marks the disk
// modified through CHardDisk::MarkModified, which raises DiskChanged; loading raises the reload
// events. Observers rebuild from these events and are never called by hand.
#include <algorithm>
#include <vector>

namespace korvex {

enum class ChangeEvent {
  DiskChanged,   // an edit changed the working copy of one disk, or the disk was saved
  DiskReloaded,  // one disk was read anew from its device (or could not be and is gone)
  AllReloaded,   // the whole working copy was read anew
};

class IChangeObserver {
 public:
  virtual ~IChangeObserver() = default;
  // deviceNumber names the disk; it is 0 and means nothing for AllReloaded.
  virtual void OnWorkingCopyChange(ChangeEvent event, unsigned deviceNumber) = 0;
};

// The observers of one working copy. Disks keep a pointer to it, so it stays at one address
// for the working copy's life.
class ChangeNotifier {
 public:
  void Subscribe(IChangeObserver& observer) { observers_.push_back(&observer); }
  void Unsubscribe(IChangeObserver& observer) { std::erase(observers_, &observer); }
  void Notify(ChangeEvent event, unsigned deviceNumber) const {
    // A copy, so that an observer may unsubscribe while it is told.
    const auto observers = observers_;
    for (IChangeObserver* observer : observers) observer->OnWorkingCopyChange(event, deviceNumber);
  }

 private:
  std::vector<IChangeObserver*> observers_;
};

}  // namespace korvex
