// molv: a command-line host for the MOLV_Wrap module. It loads the module as
// any host does (by path, exports resolved by name) and drives it only
// through its ten exports: match, subst, trans, split and version.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "command_line.h"
#include "exit_status.h"
#include "help_text.h"
#include "line_reader.h"
#include "loaded_module.h"
#include "output_buffer.h"
#include "pattern_commands.h"
#include "platform/platform.h"

namespace {

int RunVersion(const LoadedModule& module, std::ostream& out) {
    out << "module:  MOLV_Wrap " << module.MOLV_MOLVWVERSION() << " (" << module.Path() << ")\n";
    out << "library: " << module.MOLV_VERSION() << '\n';
    return kMatched;
}

// Beside molv (a build folder, a Windows folder), else where an installed
// tree keeps its libraries, relative to its programs.
std::string DefaultModulePath() {
    const std::string beside = ModuleBesideProgram();
    std::error_code ignored;
    if (beside.empty() || std::filesystem::exists(beside, ignored)) return beside;
    const std::filesystem::path installed = std::filesystem::path(beside).parent_path() /
                                            MOLV_LIBRARIES_FROM_PROGRAMS / MOLV_MODULE_FILE;
    return std::filesystem::exists(installed, ignored) ? installed.lexically_normal().string() : beside;
}

int Run(const Invocation& invocation, OutputBuffer& out) {
    if (invocation.command == "help") {
        std::cout << HelpText(invocation.helpTopic);
        return kMatched;
    }

    std::string modulePath = invocation.library;
    std::string howFound = "given by --library";
    if (modulePath.empty()) {
        modulePath = DefaultModulePath();
        howFound = "molv looks for it beside its own program; name another with --library PATH";
        if (modulePath.empty()) {
            std::cerr << "molv: cannot tell where molv itself is, to find the module beside it; "
                         "name the module with --library PATH\n";
            return kFailed;
        }
    }
    LoadedModule module;
    std::string error;
    if (!module.Load(modulePath, howFound, error)) {
        std::cerr << "molv: " << error << '\n';
        return kFailed;
    }

    // What is buffered goes out before every read that may wait for input,
    // so a filter in an interactive pipe answers each line at once, while a
    // large input still leaves in large writes.
    LineReader in(STDIN_FILENO, [&out] { out.Flush(); });
    CommandStreams streams{in, out, std::cerr};
    if (invocation.command == "version") return RunVersion(module, std::cout);
    if (invocation.command == "match") return RunMatch(module, invocation, streams);
    if (invocation.command == "subst") return RunSubst(module, invocation, streams);
    if (invocation.command == "trans") return RunTrans(module, invocation, streams);
    return RunSplit(module, invocation, streams);
}

}  // namespace

int main(int argc, char** argv) {
    // The pattern commands read and write the descriptors themselves; the
    // streams carry only help, version and messages. Lines are bytes.
    std::ios::sync_with_stdio(false);
    platform::UseBinaryStandardStreams();

    Invocation invocation;
    std::string error;
    if (!ParseCommandLine(argc, argv, invocation, error)) {
        std::cerr << "molv: " << error << "\n" << UsageLine() << "Run 'molv --help' for more.\n";
        return kFailed;
    }
    OutputBuffer out(STDOUT_FILENO);
    const int status = Run(invocation, out);
    std::cout.flush();
    if (!out.Flush() || !std::cout) {
        std::cerr << "molv: cannot write the output\n";
        return kFailed;
    }
    return status;
}
