#include "app/KorvexDoc.h"

#include <wx/utils.h>

#include "bootengine/DirectBoot.h"
#include "partition/DiskSaver.h"
#include "platform/StringTable.h"
#include "shell/PendingOperations.h"

namespace korvex {

CKorvexDoc::CKorvexDoc(std::unique_ptr<ProgramContext> context, std::unique_ptr<IRestartService> restart)
    : context_(std::move(context)),
      restart_(std::move(restart)),
      details_(std::make_unique<ObjectDetailsSource>(context_->workingCopy(), context_->registry())) {}

void CKorvexDoc::ReloadAll() {
  if (workingCopy().AnyModified() &&
      prompt().Ask(LoadResString(IDS_DISCARD_CHANGES), PromptButtons::YesNoDefaultNo, PromptIcon::Question) !=
          PromptAnswer::Yes) {
    return;
  }
  wxBusyCursor wait;
  workingCopy().LoadAll();
}

void CKorvexDoc::SaveAll() {
  if (!ConfirmPendingSave(PendingOperations(workingCopy(), registry()), prompt())) return;
  korvex::SaveAll(workingCopy(), prompt(), *restart_);
}

void CKorvexDoc::SaveDisk(std::optional<unsigned> device) {
  if (!device) return SaveAll();
  CHardDisk* disk = workingCopy().Find(*device);
  if (disk == nullptr || !ConfirmPendingSave(PendingOperationsOf(workingCopy(), *device, registry()), prompt())) return;
  SaveSingleDisk(*disk, prompt());
}

void CKorvexDoc::ReloadDisk(std::optional<unsigned> device) {
  if (!device) return ReloadAll();
  wxBusyCursor wait;
  workingCopy().ReloadDisk(static_cast<std::uint8_t>(*device));
}

void CKorvexDoc::Boot(const ObjectRef& entry) { BootPartition(workingCopy(), entry, prompt(), *restart_); }

}  // namespace korvex
