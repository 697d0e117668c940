#include "perl_oracle.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace regexlib_test {
namespace {

char OperationLetter(CaseOperation operation) {
    switch (operation) {
        case CaseOperation::Match: return 'M';
        case CaseOperation::Substitute: return 'S';
        case CaseOperation::Translate: return 'T';
        case CaseOperation::Split: return 'P';
    }
    return 'M';
}

// A scratch file named after this process, removed when the run ends.
class ScratchFile {
public:
    explicit ScratchFile(const char* suffix)
        : path_("/tmp/regexlib_oracle_" + std::to_string(::getpid()) + suffix) {}
    ~ScratchFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

std::string ToHex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 15]);
    }
    return hex;
}

std::string OracleInputLine(const OracleCase& oracleCase) {
    return std::string(1, OperationLetter(oracleCase.operation)) + ' ' + (oracleCase.utf8 ? 'u' : 'b') +
           ' ' + std::to_string(oracleCase.limit) + ' ' + ToHex(oracleCase.perlOperator) + ' ' +
           ToHex(oracleCase.subject);
}

bool AskPerl(const std::vector<OracleCase>& cases, std::vector<std::string>& answers,
             std::string& message) {
    ScratchFile input(".in");
    ScratchFile output(".out");
    {
        std::ofstream stream(input.path());
        for (const OracleCase& oracleCase : cases) stream << OracleInputLine(oracleCase) << '\n';
    }
    const std::string command = std::string(MOLV_PERL_PATH) + " " + MOLV_PERL_ORACLE_SCRIPT + " < " +
                                input.path() + " > " + output.path();
    if (std::system(command.c_str()) != 0) {
        message = "perl failed: " + command;
        return false;
    }
    std::ifstream stream(output.path());
    answers.clear();
    for (std::string line; std::getline(stream, line);) answers.push_back(line);
    if (answers.size() != cases.size()) {
        message = "perl answered " + std::to_string(answers.size()) + " of " +
                  std::to_string(cases.size()) + " cases";
        return false;
    }
    return true;
}

}  // namespace regexlib_test
