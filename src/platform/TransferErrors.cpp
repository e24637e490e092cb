#include "platform/TransferErrors.h"

#include <cstring>

#include "platform/Texts.h"

namespace korvex {

std::string TransferErrorText(int error) {
  switch (error) {
    case kErrorHelperNoAnswer:
      return text::kHelperNoAnswer;
    case kErrorHelperNoAnswerWrite:
      return std::string(text::kHelperNoAnswer) + text::kWriteUncertainSuffix;
    case kErrorHelperAbortedWrite:
      return std::string(text::kHelperAborted) + text::kWriteUncertainSuffix;
    default:
      return std::strerror(error);
  }
}

bool WriteUncertain(int error) { return error == kErrorHelperNoAnswerWrite || error == kErrorHelperAbortedWrite; }

}  // namespace korvex
