#pragma once

#include <string>

namespace vm {

// The opt-in trace for the people who build and deploy movies: when the environment variable
// VARDEL_TRACE names a file, each call appends one line to it. Nothing is written otherwise, and
// a trace that cannot be written never disturbs the run.
void Trace(const std::string& line);

// Appends the text to the file in one write, opened for this write alone so that the trace is
// complete even when the process is killed.
void AppendTraceLine(const char* path, const std::string& text);

}  // namespace vm
