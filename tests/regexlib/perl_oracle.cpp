#include "perl_oracle.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

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

// A scratch file of a name no other run uses, removed when the run ends.
class ScratchFile {
public:
    explicit ScratchFile(const char* suffix)
        : path_((std::filesystem::temp_directory_path() /
                 ("regexlib_oracle_" + std::to_string(std::random_device{}()) + suffix))
                    .string()) {}
    ~ScratchFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

bool WriteCases(const std::vector<OracleCase>& cases, const std::string& path) {
    std::ofstream stream(path, std::ios::binary);
    for (const OracleCase& oracleCase : cases) stream << OracleInputLine(oracleCase) << '\n';
    return static_cast<bool>(stream);
}

bool ReadAnswers(const std::string& path, std::size_t expected, std::vector<std::string>& answers,
                 std::string& message) {
    std::ifstream stream(path, std::ios::binary);
    answers.clear();
    for (std::string line; std::getline(stream, line);) answers.push_back(line);
    if (answers.size() == expected) return true;
    message = "perl answered " + std::to_string(answers.size()) + " of " + std::to_string(expected) +
              " cases (" + path + ")";
    return false;
}

bool RunPerl(const std::vector<OracleCase>& cases, std::vector<std::string>& answers,
             std::string& message) {
    ScratchFile input(".in");
    ScratchFile output(".out");
    if (!WriteCases(cases, input.path())) {
        message = "cannot write " + input.path();
        return false;
    }
    const std::string command = std::string(MOLV_PERL_PATH) + " " + MOLV_PERL_ORACLE_SCRIPT + " < " +
                                input.path() + " > " + output.path();
    if (std::system(command.c_str()) != 0) {
        message = "perl failed: " + command;
        return false;
    }
    return ReadAnswers(output.path(), cases.size(), answers, message);
}

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
    return std::string(1, OperationLetter(oracleCase.operation)) + ' ' + oracleCase.encoding + ' ' + std::to_string(oracleCase.limit) + ' ' + ToHex(oracleCase.perlOperator) + ' ' +
           ToHex(oracleCase.subject);
}

OracleOutcome AskPerl(const std::vector<OracleCase>& cases, std::vector<std::string>& answers,
                      std::string& message) {
    if (const char* casesFile = std::getenv("REGEXLIB_ORACLE_CASES")) {
        if (!WriteCases(cases, casesFile)) {
            message = std::string("cannot write ") + casesFile;
            return OracleOutcome::Failed;
        }
        message = std::to_string(cases.size()) + " cases written to " + casesFile + " for perl";
        return OracleOutcome::CasesWritten;
    }
    if (const char* answersFile = std::getenv("REGEXLIB_ORACLE_ANSWERS")) {
        return ReadAnswers(answersFile, cases.size(), answers, message) ? OracleOutcome::Answered
                                                                        : OracleOutcome::Failed;
    }
    return RunPerl(cases, answers, message) ? OracleOutcome::Answered : OracleOutcome::Failed;
}

}  // namespace regexlib_test
