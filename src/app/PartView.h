#pragma once
// The right pane while a partition, logical drive or free area is selected: its boot-menu
// title, type, absolute (cylinder/head/sector) and relative position, with the two derivations
// and the apply through the core's checks.
#include <array>
#include <optional>

#include "app/RightPane.h"
#include "partition/ObjectRef.h"
#include "partition/PositionChecks.h"

class wxChoice;
class wxTextCtrl;

namespace korvex {

class CKorvexDoc;

class CPartView final : public CRightPane {
 public:
  // The numeric fields, in the order the form reads them.
  enum Field { StartCylinder, StartHead, StartSector, EndCylinder, EndHead, EndSector, RelativeStart, Length, kFieldCount };

  CPartView(wxWindow* parent, CKorvexDoc& doc, const ObjectRef& ref);
  RightPane Kind() const override { return RightPane::PartitionForm; }
  bool IsModified() const override;
  int Apply() override;
  // "Absolut nach Relativ" and "Relativ nach Absolut": only the form changes.
  void AbsoluteToRelative();
  void RelativeToAbsolute();

  wxTextCtrl* field(Field which) const { return fields_[which]; }
  wxTextCtrl* titleField() const { return title_; }
  wxChoice* typeBox() const { return type_; }

 private:
  wxSizer* PositionGroup(const char* caption, std::initializer_list<std::pair<Field, const char*>> fields,
                         const char* unit = nullptr);
  void Show(const PartitionForm& form);
  // Takes the form's values, derives one position from the other with the disk's geometry and
  // shows the result; nothing reaches the working copy.
  void Derive(void (*derivation)(const CPhysicalDrive&, PartitionForm&));
  // The form's values. A field that holds no number in its range is shown to the user (range
  // message) when report is set, and gives nothing; otherwise it counts as the object's value.
  std::optional<PartitionForm> Read(const PartitionForm& objectValues, bool report) const;

  CKorvexDoc& doc_;
  ObjectRef ref_;
  wxTextCtrl* title_ = nullptr;
  wxChoice* type_ = nullptr;
  std::array<wxTextCtrl*, kFieldCount> fields_{};
};

}  // namespace korvex
