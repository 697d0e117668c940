// Small helpers the entry-point tests share: run one operator through the
// built bregexp.dll and describe the answer as text. Each helper owns and
// frees the record it compiles, but those ending in On, which run on the
// caller's; a failure is described with its message.
#pragma once

#include <string>

#include "bregexp.h"


namespace regexlib_test {

// "no", "failed: MESSAGE", or "start-end" (bytes) per group after "yes".
std::string DescribeBMatch(const std::string& pattern, const std::string& subject);
// "count:output" or "failed: MESSAGE".
std::string DescribeBSubst(const std::string& pattern, const std::string& subject);
std::string DescribeBTrans(const std::string& pattern, const std::string& subject);
// "count|piece|piece..." or "failed: MESSAGE".
std::string DescribeBSplit(const std::string& pattern, const std::string& subject, int limit);

// The same on a record the caller keeps and frees: compiled into *record
// from `pattern`, or used as it is when `pattern` is null.
std::string DescribeBMatchOn(bregexp** record, const char* pattern, const std::string& subject);
std::string DescribeBSubstOn(bregexp** record, const char* pattern, const std::string& subject);
std::string DescribeBTransOn(bregexp** record, const char* pattern, const std::string& subject);
std::string DescribeBSplitOn(bregexp** record, const char* pattern, const std::string& subject, int limit);

}  // namespace regexlib_test
