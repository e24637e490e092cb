#pragma once
// The position of a partition given twice, as cylinder/head/sector start and end and as
// relative start sector and length: deriving one from the other, checking the values of the
// partition form against each other and against the other partitions of the level before they
// are applied, and the overlap report of "Prüfen".
#include <cstdint>
#include <string>

#include "partition/CHardDisk.h"
#include "partition/ObjectRef.h"
#include "platform/Prompt.h"

namespace korvex {

// The values of the partition form.
struct PartitionForm {
  std::string title;  // code page 437, at most 40 characters are kept
  std::uint8_t type = 0;
  ChsAddress startChs;
  ChsAddress endChs;
  std::uint32_t relativeStart = 0;
  std::uint32_t length = 0;
};

enum class FormApplyResult { Applied, Refused };

// The form as it shows object: title, type, start and length, and the CHS positions derived
// from them.
PartitionForm FormFromObject(const CPhysicalDrive& geometry, const CPartition& object);

// "Absolut nach Relativ": relative start and length from the CHS fields. Nothing is clamped.
void AbsoluteToRelative(const CPhysicalDrive& geometry, PartitionForm& form);
// "Relativ nach Absolut": the CHS fields from relative start and length.
void RelativeToAbsolute(const CPhysicalDrive& geometry, PartitionForm& form);

// True when object (with its current start and length) conflicts with no other used object of
// the primary (logical) level: it shares no sector with any of them, whether it reaches into one,
// lies inside one or holds one wholly inside itself.
bool ClearOfPrimaryOverlap(const CHardDisk& disk, const CPartition& object);
bool ClearOfLogicalOverlap(const CHardDisk& disk, const CPartition& object);

// Checks form against itself and the other partitions of the object's level, asks about a type
// change and about losing the logical drives, and then applies it to the object and rebuilds the
// free areas. Every failed check is listed in one stop message with the error count. Applied,
// or Refused with nothing changed (also when object names nothing, after saying so).
FormApplyResult ApplyPartitionForm(WorkingCopy& workingCopy, const ObjectRef& object, const PartitionForm& form,
                                   CPrompt& prompt);

// The findings of "Prüfen" for object of level, one line each: whether it reaches past the
// disk's diskSectors or past the last sector a partition table can name, where its first and its
// last sector lie inside another object of the level, which partitions lie wholly inside it and,
// for a logical drive of extended, whether it lies outside or is larger than that extended
// partition. Empty when nothing was found.
std::string CheckPartition(const PartitionLevel& level, const CPartition& object, const CPartition* extended,
                           std::uint64_t diskSectors);

// Why "Prüfen" does not apply to the object: it is a free area. Nothing when it applies.
std::optional<std::string> CheckRefusal(const ResolvedObject& target);

// The report of "Prüfen" for object as both front ends show it: the findings of CheckPartition
// (a logical drive checked against its extended partition), or "Keine Fehler festgestellt".
// Nothing when object names nothing or CheckRefusal refuses it, after saying so.
std::optional<std::string> CheckReport(const WorkingCopy& workingCopy, const ObjectRef& object, CPrompt& prompt);

}  // namespace korvex
