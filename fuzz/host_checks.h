// What the hardening hosts check on every answer they get from the module:
// a table of calls with known answers (each names itself on failure), and
// small helpers to compare a returned text. Failures are counted, printed
// and turned into the program's exit status.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

#include "host_module.h"

class HostChecks {
public:
    explicit HostChecks(HostModule& loaded) : m(loaded) {}

    bool Expect(const char* what, const char* got, const std::string& wanted) {
        if (got != nullptr && wanted == got) return true;
        if (++failures <= 20) {
            std::fprintf(stderr, "FAIL %s: got \"%s\", wanted \"%s\"\n", what, got == nullptr ? "(null)" : got,
                         wanted.c_str());
        }
        return false;
    }

    bool Expect(const char* what, const std::string& got, const std::string& wanted) {
        return Expect(what, got.c_str(), wanted);
    }

    bool Expect(const char* what, int got, int wanted) {
        if (got == wanted) return true;
        if (++failures <= 20) std::fprintf(stderr, "FAIL %s: got %d, wanted %d\n", what, got, wanted);
        return false;
    }

    // Every position left by the last match or split, in order.
    std::string Walk() {
        std::string items;
        while (m.MOLV_HASMORERESULTS() == 1) items += std::string(m.MOLV_GETNEXT()) + " ";
        return items;
    }

    // One round of calls with known answers, over texts in the host's heap
    // (as a host's own strings are), touching all ten exports.
    void KnownAnswers() {
        const std::string groups = "m/(\\d+)-(\\d+)/", dashed = "ab 12-345 cd";
        Expect("match with groups", m.MOLV_MATCH(groups.c_str(), dashed.c_str()), "3:6");
        Expect("groups walked", Walk(), "3:2 6:3 ");
        Expect("cursor exhausted", m.MOLV_GETNEXT(), "");
        Expect("cut a group", m.MOLV_POSTOSTR("6:3"), "345");
        Expect("cut past the end", m.MOLV_POSTOSTR("10:9"), "cd");
        Expect("unusable position", m.MOLV_POSTOSTR("6:"), "");
        Expect("message after success", m.MOLV_ERRORMSG(), "");

        const std::string swap = "s/(\\w+)@(\\w+)/$2 at $1/g", mail = "joe@home, ann@work";
        Expect("global substitution", m.MOLV_SUBST(swap.c_str(), mail.c_str()), "home at joe, work at ann");
        const std::string upper = "tr/a-z/A-Z/", hello = "Hello, World";
        Expect("translation", m.MOLV_TRANS(upper.c_str(), hello.c_str()), "HELLO, WORLD");

        const std::string comma = "/,\\s*/", list = "a, b,c,,d";
        Expect("split count", m.MOLV_SPLIT(comma.c_str(), list.c_str(), 0), 5);
        Expect("split pieces", Walk(), "0:1 3:1 5:1 7:0 8:1 ");
        Expect("split piece cut", m.MOLV_POSTOSTR("5:1"), "c");
        Expect("split with a limit", m.MOLV_SPLIT(comma.c_str(), list.c_str(), 2), 2);
        Expect("limited pieces", Walk(), "0:1 3:6 ");

        // Shift_JIS: '.' takes one double-byte character.
        const std::string kana = "m/\x82\xa0(.)/k", kanaSubject = "x\x82\xa0\x82\xa2y";
        Expect("Shift_JIS match", m.MOLV_MATCH(kana.c_str(), kanaSubject.c_str()), "1:4");
        Expect("Shift_JIS group", Walk(), "3:2 ");

        const std::string broken = "m/(/";
        Expect("broken pattern", m.MOLV_MATCH(broken.c_str(), dashed.c_str()), "");
        Expect("broken pattern has a message", m.MOLV_ERRORMSG()[0] != 0, 1);
        Expect("no pattern", m.MOLV_MATCH(nullptr, dashed.c_str()), "");
        Expect("no subject", m.MOLV_SUBST(swap.c_str(), nullptr), "");
        Expect("own version", m.MOLV_MOLVWVERSION(), MOLV_WRAP_VERSION);
        Expect("library version", m.MOLV_VERSION()[0] != 0, 1);
    }

    // A pattern made for `key`, and a subject where it matches.
    void DistinctPattern(unsigned key) {
        const std::string pattern = "m/key" + std::to_string(key) + "=(\\d+)/";
        const std::string subject = "some text, key" + std::to_string(key) + "=42 and more";
        const std::size_t at = subject.find("key");
        const std::string whole = std::to_string(at) + ":" + std::to_string(subject.find(" and") - at);
        Expect("distinct pattern", m.MOLV_MATCH(pattern.c_str(), subject.c_str()), whole);
        Expect("distinct pattern group", m.MOLV_GETNEXT(), std::to_string(subject.find('=') + 1) + ":2");
    }

    int failures = 0;

private:
    HostModule& m;
};
