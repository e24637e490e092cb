#include "shell/PartitionFormState.h"

namespace korvex {
namespace {

bool SameChs(const ChsAddress& a, const ChsAddress& b) {
  return a.cylinder == b.cylinder && a.head == b.head && a.sector == b.sector;
}

}  // namespace

PartitionForm FormShownFor(const CHardDisk& disk, const CPartition& object) {
  PartitionForm form = FormFromObject(disk, object);
  if (!object.InMenu()) form.title.clear();
  return form;
}

bool FormDiffers(const PartitionForm& form, const PartitionForm& shown, bool compareType) {
  return !SameChs(form.startChs, shown.startChs) || !SameChs(form.endChs, shown.endChs) ||
         form.relativeStart != shown.relativeStart || form.length != shown.length || form.title != shown.title ||
         (compareType && form.type != shown.type);
}

}  // namespace korvex
