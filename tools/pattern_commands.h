// The four pattern commands, each driving the module through its exports on
// every subject or input line and writing to `out`. Each answers an exit
// status; on a failure the library's message goes to `err` and work stops.
#pragma once

#include <ostream>

#include "command_line.h"
#include "line_reader.h"
#include "loaded_module.h"
#include "output_buffer.h"

struct CommandStreams {
    LineReader& in;
    OutputBuffer& out;
    std::ostream& err;
};

int RunMatch(const LoadedModule& module, const Invocation& invocation, CommandStreams streams);
int RunSubst(const LoadedModule& module, const Invocation& invocation, CommandStreams streams);
int RunTrans(const LoadedModule& module, const Invocation& invocation, CommandStreams streams);
int RunSplit(const LoadedModule& module, const Invocation& invocation, CommandStreams streams);
