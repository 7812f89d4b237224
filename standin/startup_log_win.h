#pragma once

#include "standin/observation_log.h"

namespace vm::standin {

// What the Runner handed over at the start: the variables of its environment meant for the
// projector, and the working directory it chose.
void LogStartObservations(const ObservationLog& log);

}  // namespace vm::standin
