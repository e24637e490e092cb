#pragma once
// Why a transfer of a disk failed: an error number of the system (errno) or one of the
// program's own for failures that no errno describes, and the text a message shows for it.
#include <string>

namespace korvex {

// The sector helper program did not end within its time limit and was ended.
inline constexpr int kErrorHelperNoAnswer = 0x10001;
// The same during a write: what reached the disk is unknown.
inline constexpr int kErrorHelperNoAnswerWrite = 0x10002;
// The sector helper ended by a signal during a write: what reached the disk is unknown.
inline constexpr int kErrorHelperAbortedWrite = 0x10003;

// The text for error: "Hilfsprogramm antwortet nicht", …; strerror for a system error number.
std::string TransferErrorText(int error);

// A failed write after which the sectors may hold the old bytes, the new ones or a mix of both:
// a message must not say that nothing was written.
bool WriteUncertain(int error);

}  // namespace korvex
