// What molv answers to the shell, as grep does: 0 when something matched or
// was done, 1 when nothing matched, 2 on any error (the message is on stderr).
#pragma once

enum ExitStatus : int {
    kMatched = 0,
    kNothingMatched = 1,
    kFailed = 2,
};
