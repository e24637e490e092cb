#include "partition/CPartition.h"

#include <algorithm>

#include "partition/PartitionEntry.h"

namespace korvex {

const char* StateName(PartitionState state) {
  switch (state) {
    case PartitionState::Menu: return "Menu";
    case PartitionState::Table: return "Table";
    case PartitionState::Free: return "Free";
    case PartitionState::NewTable: return "NewTable";
    case PartitionState::NewMenu: return "NewMenu";
    case PartitionState::ActiveTable: return "ActiveTable";
  }
  return "?";
}

void CPartition::SetTitle(std::string_view text) {
  title.fill(' ');
  std::copy_n(text.begin(), std::min(text.size(), kTitleLength), title.begin());
}

std::string CPartition::GetTitle() const {
  std::string text(title.begin(), std::find(title.begin(), title.end(), '\0'));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

void CPartition::MarkNew(PartitionState wanted) {
  state = wanted == PartitionState::NewMenu ? PartitionState::NewMenu : PartitionState::NewTable;
  isNew = true;
}

bool CPartition::IsExtended() const { return IsExtendedType(type); }

}  // namespace korvex
