// One molv invocation read from its arguments: the command, its options, the
// pattern and the subjects. Parsing never touches the module; a malformed
// command line answers false with a message for the user.
#pragma once

#include <string>
#include <vector>

struct Invocation {
    std::string command;             // match, subst, trans, split, version, help
    std::string helpTopic;           // with "help": the command asked about, or ""
    std::string library;             // --library PATH, or "" for the module beside molv
    bool positions = false;          // --positions (match, split)
    int limit = 0;                   // --limit N (split); 0 is Perl's default
    std::string pattern;
    std::vector<std::string> subjects;
    bool readStandardInput = false;  // no subject given: filter standard input
};

// Options may stand before or after the command, up to the pattern; "--" ends
// them, so a subject may start with '-'. "--help" anywhere in that stretch
// turns the invocation into a request for help.
bool ParseCommandLine(int argc, char** argv, Invocation& invocation, std::string& error);
