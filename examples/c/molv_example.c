/* A C99 host of MOLV_Wrap: it calls all ten exports once and checks each
 * answer, so it doubles as a check that an installed tree works.
 *
 *   cc -std=c99 molv_example.c $(pkg-config --cflags --libs molv_wrap)
 *
 * Exits 0 when every answer is the expected one, 1 otherwise. */
#include <stdio.h>
#include <string.h>

#include <molv_wrap.h>

static int failures = 0;

static void expect(const char* what, const char* got, const char* wanted) {
    if (strcmp(got, wanted) == 0) {
        printf("%-20s %s\n", what, got);
    } else {
        printf("%-20s got \"%s\", expected \"%s\"\n", what, got, wanted);
        ++failures;
    }
}

int main(void) {
    char position[32];
    int pieces;

    expect("MOLV_MOLVWVERSION", MOLV_MOLVWVERSION(), MOLV_WRAP_VERSION);
    if (strncmp(MOLV_VERSION(), "bregexp.dll", 11) != 0) {
        printf("MOLV_VERSION         no bregexp.dll loaded: \"%s\"\n", MOLV_VERSION());
        return 1;
    }

    /* A returned text lasts until the next text-returning call: copy it. */
    strcpy(position, MOLV_MATCH("/(\\d+)-(\\d+)/", "order 12-345"));
    expect("MOLV_MATCH", position, "6:6");
    expect("MOLV_POSTOSTR", MOLV_POSTOSTR(position), "12-345");
    expect("MOLV_HASMORERESULTS", MOLV_HASMORERESULTS() == 1 ? "1" : "0", "1");
    expect("MOLV_GETNEXT", MOLV_GETNEXT(), "6:2");
    expect("MOLV_GETNEXT", MOLV_GETNEXT(), "9:3");
    expect("MOLV_HASMORERESULTS", MOLV_HASMORERESULTS() == 1 ? "1" : "0", "0");

    expect("MOLV_SUBST", MOLV_SUBST("s/(\\w+) (\\w+)/$2, $1/", "John Smith"), "Smith, John");
    expect("MOLV_TRANS", MOLV_TRANS("tr/a-z/A-Z/", "shout"), "SHOUT");

    pieces = MOLV_SPLIT("/,/", "a,bc,def", 0);
    expect("MOLV_SPLIT", pieces == 3 ? "3" : "not 3", "3");
    strcpy(position, MOLV_GETNEXT());
    expect("MOLV_POSTOSTR", MOLV_POSTOSTR(position), "a");

    /* A bad pattern: "" and the library's message. */
    expect("MOLV_MATCH", MOLV_MATCH("m/(/", "x"), "");
    if (MOLV_ERRORMSG()[0] == '\0') {
        printf("MOLV_ERRORMSG        empty after a bad pattern\n");
        ++failures;
    } else {
        printf("%-20s %s\n", "MOLV_ERRORMSG", MOLV_ERRORMSG());
    }
    return failures == 0 ? 0 : 1;
}
