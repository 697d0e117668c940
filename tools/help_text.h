// What molv tells its user: the overview and one help text per command, each
// with examples that run as written (a test runs them and compares).
#pragma once

#include <string>

// The help for `topic` (match, subst, trans, split, version), or the
// overview for "".
std::string HelpText(const std::string& topic);
// The one-line synopsis shown after a mistake on the command line.
std::string UsageLine();
