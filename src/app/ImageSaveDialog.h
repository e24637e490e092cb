#pragma once
// "Partitionsabbild erzeugen": the file name (with "Suchen"), compression and block files, and
// "Starten", which runs the image worker with progress and the estimate.
#include "app/LongWorkDialog.h"
#include "image/ImageSaveForm.h"
#include "partition/CHardDisk.h"

class wxCheckBox;
class wxComboBox;

namespace korvex {

class CImageSaveDlg final : public CLongWorkDlg {
 public:
  // logical: the entry is a logical drive (its node hangs below the extended partition).
  CImageSaveDlg(wxWindow* parent, CHardDisk& disk, const CPartition& entry, bool logical, CPrompt& prompt);

  wxTextCtrl& fileNameField() const { return *fileName_; }
  wxCheckBox& compressBox() const { return *compress_; }
  wxCheckBox& splitBox() const { return *split_; }
  wxComboBox& splitSizeBox() const { return *splitSize_; }
  wxButton& startButton() const { return *start_; }
  wxButton& browseButton() const { return *browse_; }

  // "Starten": checks the fields and starts the worker; false when nothing started.
  bool Start();

 private:
  void Browse();
  void OnEnded(const WorkOutcome& outcome);

  CHardDisk& disk_;
  const CPartition& entry_;
  bool logical_;
  wxTextCtrl* fileName_ = nullptr;
  wxCheckBox* compress_ = nullptr;
  wxCheckBox* split_ = nullptr;
  wxComboBox* splitSize_ = nullptr;
  wxButton* start_ = nullptr;
  wxButton* browse_ = nullptr;
};

}  // namespace korvex
