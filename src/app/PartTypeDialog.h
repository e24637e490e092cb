#pragma once
// "Partitionstypen...": the partition type catalogue as a table of identifiers and names to
// edit; "Schließen" checks the rows and stores them, Escape drops every change.
#include <wx/dialog.h>

#include "platform/Prompt.h"
#include "platform/RegistryStore.h"

class wxButton;

namespace korvex {

class CEditList;

class CPartTypeDlg final : public wxDialog {
 public:
  CPartTypeDlg(wxWindow* parent, RegistryStore& registry, CPrompt& prompt);

  CEditList& table() const { return *table_; }
  wxButton& addButton() const { return *add_; }
  wxButton& deleteButton() const { return *delete_; }
  // "Schließen": false, with the dialog still open, when a check or the store failed.
  bool CloseAndStore();
  void AddRow();
  void DeleteRow();

 private:
  void FollowRowCount();

  RegistryStore& registry_;
  CPrompt& prompt_;
  CEditList* table_ = nullptr;
  wxButton* close_ = nullptr;
  wxButton* add_ = nullptr;
  wxButton* delete_ = nullptr;
};

}  // namespace korvex
