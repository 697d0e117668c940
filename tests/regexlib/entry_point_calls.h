// Small helpers the entry-point tests share: run one operator through the
// built bregexp.dll and describe the answer as text. Each helper owns and
// frees the record it compiles; a failure is described with its message.
#pragma once

#include <string>

#include "entry_points.h"


namespace regexlib_test {

// "no", "failed: MESSAGE", or "start-end" (bytes) per group after "yes".
std::string DescribeBMatch(const std::string& pattern, const std::string& subject);
// "count:output" or "failed: MESSAGE".
std::string DescribeBSubst(const std::string& pattern, const std::string& subject);
std::string DescribeBTrans(const std::string& pattern, const std::string& subject);
// "count|piece|piece..." or "failed: MESSAGE".
std::string DescribeBSplit(const std::string& pattern, const std::string& subject, int limit);

}  // namespace regexlib_test
