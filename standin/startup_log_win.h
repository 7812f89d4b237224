#pragma once

#include "standin/observation_log.h"

namespace vm::standin {

// What the Runner handed over at the start: the variables of its environment meant for the
// projector, the working directory it chose and the program file it started; and the Windows
// version that the projector, and the hook library inside it, are told.
void LogStartObservations(const ObservationLog& log);

}  // namespace vm::standin
