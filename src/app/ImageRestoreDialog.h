#pragma once
// "Partitionsabbild laden": the image file (with "Suchen", which checks it and shows its size,
// type and compression; a typed name is taken as it is), whether to check the image before
// writing, and "Starten", which asks, checks the image and writes it onto the partition with
// progress, the estimate and the step it is at.
#include "app/LongWorkDialog.h"
#include "image/ImageRestoreForm.h"
#include "partition/CHardDisk.h"

class wxCheckBox;

namespace korvex {

class CImageRestoreDlg final : public CLongWorkDlg {
 public:
  // logical: the entry is a logical drive (its node hangs below the extended partition).
  CImageRestoreDlg(wxWindow* parent, CHardDisk& disk, const CPartition& entry, bool logical, CPrompt& prompt);

  wxTextCtrl& fileNameField() const { return *fileName_; }
  wxTextCtrl& sizeField() const { return *size_; }
  wxTextCtrl& typeField() const { return *type_; }
  wxCheckBox& compressedBox() const { return *compressed_; }
  wxCheckBox& checkFirstBox() const { return *checkFirst_; }
  wxButton& startButton() const { return *start_; }
  wxButton& browseButton() const { return *browse_; }

  // The second half of "Suchen": checks the file named in the field and shows what it holds.
  void CheckFile();
  // "Starten": checks the file again and starts the worker; false when nothing started.
  bool Start();

 private:
  void Browse();
  // "Starten" is enabled while a file name stands in the field and no work runs.
  void EnableStart();
  void ShowSummary(const ImageSummary& summary);
  void OnEnded(const WorkOutcome& outcome);

  CHardDisk& disk_;
  const CPartition& entry_;
  bool logical_;
  wxTextCtrl* fileName_ = nullptr;
  wxTextCtrl* size_ = nullptr;
  wxTextCtrl* type_ = nullptr;
  wxCheckBox* compressed_ = nullptr;
  wxCheckBox* checkFirst_ = nullptr;
  wxButton* start_ = nullptr;
  wxButton* browse_ = nullptr;
};

}  // namespace korvex
