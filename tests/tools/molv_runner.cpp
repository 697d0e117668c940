#include "molv_runner.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// One word for sh, whatever bytes it holds.
std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

// Runs `script` with sh in a fresh folder, its input from `input`.
MolvRun RunScript(const std::string& script, const std::string& input, bool foldErrors) {
    TempFolder folder;
    const std::string at = folder.Path() + "/";
    WriteFile(at + "script.sh", script);
    WriteFile(at + "in", input);
    const std::string command = "cd " + Quoted(folder.Path()) + " && sh script.sh <in >out " +
                                (foldErrors ? "2>&1" : "2>err");
    const int wait = std::system(command.c_str());
    MolvRun run;
    run.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    run.out = ReadFile(at + "out");
    if (!foldErrors) run.err = ReadFile(at + "err");
    return run;
}

}  // namespace

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "molv-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
    path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

std::string TempFolder::Copy(const std::string& file) const {
    const std::string target = (fs::path(path) / fs::path(file).filename()).string();
    fs::copy_file(file, target, fs::copy_options::overwrite_existing);
    return target;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

MolvRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& input) {
    std::string script = Quoted(program);
    for (const std::string& argument : arguments) script += " " + Quoted(argument);
    return RunScript(script + "\n", input, false);
}

std::string MolvProgram() {
    const char* other = std::getenv("MOLV_PROGRAM");
    return other != nullptr && *other != 0 ? other : MOLV_PROGRAM;
}

bool MolvIsAnotherBuild() { return MolvProgram() != MOLV_PROGRAM; }

MolvRun RunMolv(const std::vector<std::string>& arguments, const std::string& input) {
    return RunProgram(MolvProgram(), arguments, input);
}

MolvRun RunShellLine(const std::string& commandLine) {
    const std::string folder = fs::path(MolvProgram()).parent_path().string();
    const std::string script =
        "PATH=" + Quoted(folder) + ":\"$PATH\"\nexport PATH\n" + commandLine + "\n";
    return RunScript(script, "", true);
}
