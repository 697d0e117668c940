// molv: a command-line host for the MOLV_Wrap module. It loads the module as
// any host does (by path, exports resolved by name) and drives it only
// through its ten exports: match, subst, trans, split and version.
#include <iostream>
#include <string>

#include "command_line.h"
#include "exit_status.h"
#include "help_text.h"
#include "loaded_module.h"
#include "pattern_commands.h"

namespace {

int RunVersion(const LoadedModule& module, std::ostream& out) {
    out << "module:  MOLV_Wrap " << module.MolvwVersion() << " (" << module.Path() << ")\n";
    out << "library: " << module.Version() << '\n';
    return kMatched;
}

int Run(const Invocation& invocation) {
    if (invocation.command == "help") {
        std::cout << HelpText(invocation.helpTopic);
        return kMatched;
    }

    std::string modulePath = invocation.library;
    std::string howFound = "given by --library";
    if (modulePath.empty()) {
        modulePath = ModuleBesideProgram();
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

    CommandStreams streams{std::cin, std::cout, std::cerr};
    if (invocation.command == "version") return RunVersion(module, std::cout);
    if (invocation.command == "match") return RunMatch(module, invocation, streams);
    if (invocation.command == "subst") return RunSubst(module, invocation, streams);
    if (invocation.command == "trans") return RunTrans(module, invocation, streams);
    return RunSplit(module, invocation, streams);
}

}  // namespace

int main(int argc, char** argv) {
    // Lines are bytes: no locale, no syncing with C stdio, whole lines out.
    std::ios::sync_with_stdio(false);

    Invocation invocation;
    std::string error;
    if (!ParseCommandLine(argc, argv, invocation, error)) {
        std::cerr << "molv: " << error << "\n" << UsageLine() << "Run 'molv --help' for more.\n";
        return kFailed;
    }
    const int status = Run(invocation);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "molv: cannot write the output\n";
        return kFailed;
    }
    return status;
}
