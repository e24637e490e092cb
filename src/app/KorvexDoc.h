#pragma once
// The program's one document: the working copy of every disk and the commands that act on it
// as a whole or on one disk (reload, save, direct boot). Views observe the working copy.
#include <memory>
#include <optional>
#include <string>

#include "partition/ObjectRef.h"
#include "platform/RestartService.h"
#include "shell/ObjectDetails.h"
#include "shell/ProgramStart.h"

namespace korvex {

class CKorvexDoc {
 public:
  CKorvexDoc(std::unique_ptr<ProgramContext> context, std::unique_ptr<IRestartService> restart);

  // The title the main window shows before the program's name.
  static std::string Title() { return "Festplattenmanager"; }

  WorkingCopy& workingCopy() { return context_->workingCopy(); }
  RegistryStore& registry() { return context_->registry(); }
  CPrompt& prompt() { return context_->prompt(); }
  const std::string& computerName() const { return context_->computerName(); }
  // The type names, partition names and file systems of the objects, read once per load.
  ObjectDetailsSource& details() { return *details_; }

  // Reads every disk (at start).
  void LoadAll() { workingCopy().LoadAll(); }
  // "Wiederherstellen": asks 33462 when a disk holds unsaved changes; only Yes reloads.
  void ReloadAll();
  // "Speichern": the pending changes to confirm ("Nein" writes nothing), every modified disk,
  // then the restart question.
  void SaveAll();
  // The disk node's "Speichern" (after confirming that disk's changes) and "Wiederherstellen";
  // the unsaved edits of that disk are dropped without a question on reload. Nothing (the
  // computer node) acts on all disks.
  void SaveDisk(std::optional<unsigned> device);
  void ReloadDisk(std::optional<unsigned> device);
  // "Booten": restarts into a menu entry (questions and refusals through the prompt).
  void Boot(const ObjectRef& entry);

 private:
  std::unique_ptr<ProgramContext> context_;
  std::unique_ptr<IRestartService> restart_;
  std::unique_ptr<ObjectDetailsSource> details_;
};

}  // namespace korvex
