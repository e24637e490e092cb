#pragma once
// The right pane while the computer is selected: the disks of the system by name.
#include "app/RightPane.h"

namespace korvex {

class CKorvexDoc;

class CSystemInfo final : public CRightPane {
 public:
  CSystemInfo(wxWindow* parent, CKorvexDoc& doc);
  RightPane Kind() const override { return RightPane::SystemInfo; }
};

}  // namespace korvex
