// Runs the built molv program, or a shell command line that calls it, and
// collects what it wrote and how it ended. Every run happens in a fresh
// temporary folder that is removed afterwards.
#pragma once

#include <string>
#include <vector>

struct MolvRun {
    int status = -1;  // the exit status, or -1 when molv did not exit normally
    std::string out;
    std::string err;
};

// The molv under test: the one built beside these tests, or the program the
// environment variable MOLV_PROGRAM names, such as a script that runs the
// Windows build of molv under Wine.
std::string MolvProgram();
bool MolvIsAnotherBuild();

// molv with these arguments (each passed as one word) and this input.
MolvRun RunMolv(const std::vector<std::string>& arguments, const std::string& input = "");
// The same with another copy of molv, such as one copied without the module.
MolvRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& input = "");
// A command line for sh, with molv's folder first on PATH so "molv" is the
// built one; standard error is folded into the output, as a terminal shows it.
MolvRun RunShellLine(const std::string& commandLine);

// A temporary folder, removed with everything in it when this goes away.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path; }
    // Copies `file` into the folder under its own name; answers the new path.
    std::string Copy(const std::string& file) const;

private:
    std::string path;
};

std::string ReadFile(const std::string& path);
