// Runs perl as the reference for the differential test: a batch of cases
// goes to tests/regexlib/perl_oracle.pl in one perl process and comes back
// as one answer line per case. The runner owns its temporary files; a perl
// that cannot be run gives an empty answer list and a message.
//
// Where this program cannot run perl (the Windows build, under Wine), the
// build runs it twice: first with REGEXLIB_ORACLE_CASES naming a file, into
// which the cases are written; perl answers them into another file, which
// REGEXLIB_ORACLE_ANSWERS names on the second run.
#pragma once

#include <string>
#include <vector>

namespace regexlib_test {

enum class CaseOperation { Match, Substitute, Translate, Split };

struct OracleCase {
    CaseOperation operation = CaseOperation::Match;
    char encoding = 'b';       // b: bytes, u: UTF-8, k: Shift_JIS (Windows' cp932)
    int limit = 0;             // split only
    std::string perlOperator;  // the operator text as perl reads it (no k/u flag)
    std::string subject;
};

// The case as one line of the oracle's input: its own reproduction.
std::string OracleInputLine(const OracleCase& oracleCase);

enum class OracleOutcome { Answered, CasesWritten, Failed };

// Perl's answers, one per case in order; a message when it failed, or when
// the cases were only written out for perl to answer later.
OracleOutcome AskPerl(const std::vector<OracleCase>& cases, std::vector<std::string>& answers,
                      std::string& message);

std::string ToHex(const std::string& bytes);

}  // namespace regexlib_test
