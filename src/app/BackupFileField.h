#pragma once
// The backup file row of the install and removal dialogs: the name field and "&Suchen", which
// picks a "*.save" file (proposed name "MBR") for saving or for loading.
#include <string>

#include <wx/sizer.h>

class wxButton;
class wxTextCtrl;
class wxWindow;

namespace korvex {

class CBackupFileField final : public wxBoxSizer {
 public:
  enum class Use { Save, Load };
  CBackupFileField(wxWindow* parent, Use use, const char* searchLabel);

  std::string Path() const;
  void SetPath(const std::string& path);
  void Enable(bool enable);
  wxButton& searchButton() const { return *search_; }

 private:
  void Search();

  wxWindow* parent_;
  Use use_;
  wxTextCtrl* name_ = nullptr;
  wxButton* search_ = nullptr;
};

}  // namespace korvex
