#include "command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool IsPatternCommand(const std::string& command) {
    return command == "match" || command == "subst" || command == "trans" || command == "split";
}

bool IsKnownCommand(const std::string& command) {
    return IsPatternCommand(command) || command == "version" || command == "help";
}

// Whole-text decimal, in the range of the 32-bit limit MOLV_SPLIT takes.
bool ParseLimit(const std::string& text, int& limit) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || value < -2147483647L - 1 || value > 2147483647L) return false;
    limit = static_cast<int>(value);
    return true;
}

// "--name=value" or "--name value"; answers false when the value is missing.
bool TakeValue(const std::string& argument, const char* name, int argc, char** argv, int& index,
               std::string& value) {
    const std::string prefix = std::string(name) + "=";
    if (argument.compare(0, prefix.size(), prefix) == 0) {
        value = argument.substr(prefix.size());
        return true;
    }
    if (index + 1 >= argc) return false;
    value = argv[++index];
    return true;
}

bool OptionIs(const std::string& argument, const char* name) {
    return argument == name || argument.compare(0, std::strlen(name) + 1, std::string(name) + "=") == 0;
}

// The command line split into its words (the command, the pattern, the
// subjects) and what the options asked for.
struct Arguments {
    std::vector<std::string> words;
    bool helpAsked = false;
    bool limitGiven = false;
};

// One option, the value it takes included; false with a message when it is
// unknown or its value is unusable.
bool ReadOption(const std::string& argument, int argc, char** argv, int& index, Invocation& invocation,
                Arguments& arguments, std::string& error) {
    if (argument == "--help" || argument == "-h") {
        arguments.helpAsked = true;
    } else if (argument == "--positions") {
        invocation.positions = true;
    } else if (OptionIs(argument, "--library")) {
        if (!TakeValue(argument, "--library", argc, argv, index, invocation.library) || invocation.library.empty()) {
            error = "--library needs the path of the module";
            return false;
        }
    } else if (OptionIs(argument, "--limit")) {
        std::string value;
        if (!TakeValue(argument, "--limit", argc, argv, index, value) || !ParseLimit(value, invocation.limit)) {
            error = "--limit needs a whole number, such as 2 or -1";
            return false;
        }
        arguments.limitGiven = true;
    } else {
        error = "unknown option '" + argument + "'";
        return false;
    }
    return true;
}

bool ReadArguments(int argc, char** argv, Invocation& invocation, Arguments& arguments, std::string& error) {
    bool optionsEnded = false;
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        // Options are read until the pattern: everything after it is a subject.
        const std::vector<std::string>& words = arguments.words;
        const bool patternSeen = words.size() >= 2 && IsPatternCommand(words[0]);
        if (optionsEnded || patternSeen || argument.size() < 2 || argument[0] != '-') {
            arguments.words.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (!ReadOption(argument, argc, argv, index, invocation, arguments, error)) {
            return false;
        }
    }
    return true;
}

// "molv help" shows the overview, "molv help match" the command's help.
bool ReadHelp(const std::vector<std::string>& words, Invocation& invocation, std::string& error) {
    if (words.size() > 2 || (words.size() == 2 && !IsKnownCommand(words[1]))) {
        error = "help takes one command name";
        return false;
    }
    if (words.size() == 2 && words[1] != "help") invocation.helpTopic = words[1];
    return true;
}

// A pattern command: its options checked against it, its pattern and subjects.
bool ReadPatternCommand(const Arguments& arguments, Invocation& invocation, std::string& error) {
    if (invocation.positions && invocation.command != "match" && invocation.command != "split") {
        error = "--positions works with match and split only";
        return false;
    }
    if (arguments.limitGiven && invocation.command != "split") {
        error = "--limit works with split only";
        return false;
    }
    const std::vector<std::string>& words = arguments.words;
    if (words.size() < 2) {
        error = invocation.command + " needs a PATTERN";
        return false;
    }
    invocation.pattern = words[1];
    invocation.subjects.assign(words.begin() + 2, words.end());
    invocation.readStandardInput = invocation.subjects.empty();
    return true;
}

bool ReadCommand(const Arguments& arguments, Invocation& invocation, std::string& error) {
    const std::vector<std::string>& words = arguments.words;
    if (words.empty()) {
        if (!arguments.helpAsked) {
            error = "missing command";
            return false;
        }
        invocation.command = "help";  // "molv --help": the overview
        return true;
    }
    invocation.command = words[0];
    if (!IsKnownCommand(invocation.command)) {
        error = "unknown command '" + invocation.command + "'";
        return false;
    }
    if (invocation.command == "help") return ReadHelp(words, invocation, error);
    if (arguments.helpAsked) {
        invocation.helpTopic = invocation.command;
        invocation.command = "help";
        return true;
    }
    if (invocation.command == "version") {
        if (words.size() == 1) return true;
        error = "version takes no arguments";
        return false;
    }
    return ReadPatternCommand(arguments, invocation, error);
}

}  // namespace

bool ParseCommandLine(int argc, char** argv, Invocation& invocation, std::string& error) {
    Arguments arguments;
    return ReadArguments(argc, argv, invocation, arguments, error) && ReadCommand(arguments, invocation, error);
}
