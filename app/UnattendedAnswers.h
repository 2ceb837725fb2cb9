#pragma once
// The answers a command run gives in place of a person. Every message box's text
// goes to the log as "Message: <text>" and to the console. The update check's
// question whether to view the release details is answered No (the command has
// said what to do). With /quiet no box, input box or error report window is
// shown: each gets its default answer, and a Retry that would come back without
// end (a full disk) turns into Cancel after three tries.
#include "app/Console.h"

namespace twi {

void AnswerForCommandRun(bool quiet, Console& console);

// A box asked this many times in a row with Retry as its default is then
// answered Cancel.
inline constexpr int kQuietRetries = 3;

}  // namespace twi
