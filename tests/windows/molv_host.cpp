// A Windows host of the module, as a real one is: MOLV_Wrap.dll and
// bregexp.dll lie beside this program, the module is loaded with LoadLibraryA
// by bare name and its exports are found with GetProcAddress. The harness
// runs one copy per variant of the double.
//
//   molv_host refused none     no bregexp.dll: the load fails at attach
//   molv_host refused partial  bregexp.dll lacks an entry point: the load
//                              fails at attach, and the library stays loaded
//   molv_host works            every export, detach at FreeLibrary, and null
//                              and unreadable texts from the host
//   molv_host beside lib WHERE the module in the subfolder lib of this
//                              program's folder, loaded by that path, takes
//                              bregexp.dll from WHERE: beside this program
//                              (host), beside itself (module), the system
//                              folder (system), or nowhere, and the load
//                              fails at attach (none). The harness lays out
//                              each case, with a working folder of its own
//
// `works` reads the double's log from the file named by BREGEXP_DOUBLE_LOG.
// The exit code is 0 when every check held; each failed check prints a line.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "double_control.h"
#include "molv_wrap.h"

namespace {

int failures = 0;

void Check(bool held, const std::string& what) {
    if (held) return;
    ++failures;
    std::printf("FAILED: %s\n", what.c_str());
}

void CheckText(const char* actual, const std::string& expected, const std::string& what) {
    const std::string text = actual != nullptr ? actual : "(null)";
    Check(actual != nullptr && text == expected,
          what + ": got '" + text + "', expected '" + expected + "'");
}

// The calls a host makes, resolved by their undecorated names: one pointer
// per export of molv_wrap.h, whose types carry the calling convention this
// build was made with.
struct Exports {
#define MOLV_EXPORT_POINTER(name, result, parameters, count) name##_FUNCTION name = nullptr;
    MOLV_WRAP_EXPORTS(MOLV_EXPORT_POINTER)
#undef MOLV_EXPORT_POINTER
};

// GetProcAddress gives every entry point as FARPROC; the module was built
// from the declarations that give these pointers their types.
template <typename Function>
bool Resolve(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    Check(function != nullptr, std::string("GetProcAddress finds ") + name);
    return function != nullptr;
}

bool ResolveAll(HMODULE module, Exports& e) {
    bool all = true;
#define MOLV_RESOLVE(name, result, parameters, count) all = Resolve(module, #name, e.name) && all;
    MOLV_WRAP_EXPORTS(MOLV_RESOLVE)
#undef MOLV_RESOLVE
    return all;
}

int Refused(const std::string& modulePath, bool libraryStaysLoaded) {
    SetLastError(0);
    HMODULE module = LoadLibraryA(modulePath.c_str());
    const DWORD error = GetLastError();
    Check(module == nullptr, "LoadLibraryA refuses the module");
    // The module was found and ran its attach, which said no; a module
    // that is simply not there would give ERROR_MOD_NOT_FOUND instead.
    Check(error == ERROR_DLL_INIT_FAILED,
          "the load fails in attach (error " + std::to_string(error) + ")");
    Check(GetModuleHandleA("MOLV_Wrap.dll") == nullptr, "the refused module is not left loaded");
    // After a missing entry point the library it came from is not released.
    Check((GetModuleHandleA("bregexp.dll") != nullptr) == libraryStaysLoaded,
          libraryStaysLoaded ? "bregexp.dll stays loaded" : "no bregexp.dll is loaded");
    if (module != nullptr) FreeLibrary(module);
    return failures == 0 ? 0 : 1;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The double is the bregexp.dll the module loaded; it takes its answers
// through the scripting entry points it exports beside the six.
struct Double {
    DoubleQueueFunction queue = nullptr;
    explicit Double(HMODULE library) {
        if (library != nullptr) {
            queue = reinterpret_cast<DoubleQueueFunction>(
                reinterpret_cast<void (*)()>(GetProcAddress(library, "DoubleQueue")));
        }
        Check(queue != nullptr, "the double loaded by the module takes answers");
    }
    void Queue(const DoubleReply& reply) const {
        if (queue != nullptr) queue(&reply);
    }
};

DoubleReply Reply(int rc, std::initializer_list<long long> pairs = {}, const char* output = nullptr,
                  const char* message = "") {
    DoubleReply reply{};
    reply.rc = rc;
    reply.leaveRecord = 1;
    reply.message = message;
    reply.output = output;
    int at = 0;
    for (long long offset : pairs) reply.pairs[at++] = offset;
    reply.pairCount = at / 2;
    return reply;
}

void CheckExports(const Exports& e, const Double& control) {
    CheckText(e.MOLV_MOLVWVERSION(), MOLV_WRAP_VERSION, "MOLV_MOLVWVERSION");
    CheckText(e.MOLV_VERSION(), "double 1.0", "MOLV_VERSION");
    CheckText(e.MOLV_ERRORMSG(), "", "MOLV_ERRORMSG before any pattern");

    // "xabcd": the whole match "abc" at 1, its groups "ab" at 1 and "c" at 3.
    control.Queue(Reply(1, {1, 4, 1, 3, 3, 4}));
    CheckText(e.MOLV_MATCH("/(ab)(c)/", "xabcd"), "1:3", "MOLV_MATCH");
    Check(e.MOLV_HASMORERESULTS() == 1, "MOLV_HASMORERESULTS after a match with groups");
    CheckText(e.MOLV_GETNEXT(), "1:2", "MOLV_GETNEXT, first group");
    CheckText(e.MOLV_GETNEXT(), "3:1", "MOLV_GETNEXT, second group");
    Check(e.MOLV_HASMORERESULTS() == 0, "MOLV_HASMORERESULTS after the last group");
    CheckText(e.MOLV_GETNEXT(), "", "MOLV_GETNEXT past the last group");
    CheckText(e.MOLV_POSTOSTR("1:2"), "ab", "MOLV_POSTOSTR");

    control.Queue(Reply(1, {}, "xyzcd"));
    CheckText(e.MOLV_SUBST("s/ab/yz/", "xabcd"), "xyzcd", "MOLV_SUBST");
    control.Queue(Reply(3, {}, "XABCD"));
    CheckText(e.MOLV_TRANS("tr/a-z/A-Z/", "xabcd"), "XABCD", "MOLV_TRANS");

    control.Queue(Reply(3, {0, 1, 2, 3, 4, 5}));
    Check(e.MOLV_SPLIT("/,/", "a,b,c", 7) == 3, "MOLV_SPLIT counts the pieces");
    CheckText(e.MOLV_GETNEXT(), "0:1", "MOLV_GETNEXT, first piece");
    CheckText(e.MOLV_GETNEXT(), "2:1", "MOLV_GETNEXT, second piece");
    CheckText(e.MOLV_POSTOSTR("4:1"), "c", "MOLV_POSTOSTR on the split subject");

    control.Queue(Reply(-1, {}, nullptr, "unmatched ( in pattern"));
    CheckText(e.MOLV_MATCH("/(/", "x"), "", "MOLV_MATCH on a failing pattern");
    CheckText(e.MOLV_ERRORMSG(), "unmatched ( in pattern", "MOLV_ERRORMSG after a failure");

    // A cached pattern is not compiled again: the library gets no text.
    control.Queue(Reply(1, {0, 1}));
    CheckText(e.MOLV_MATCH("/(ab)(c)/", "c"), "0:1", "MOLV_MATCH with a cached pattern");
}

// Texts a host may hand in by mistake: null, the address 8 (Windows never
// maps the lowest 64 KiB) and a page that was allocated, written and freed.
// The freed page's address stays reserved, so no allocation made during the
// checks can land there and make it readable again.
void CheckBadTexts(const Exports& e, const Double& control) {
    void* page = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    Check(page != nullptr, "VirtualAlloc gives a page");
    if (page != nullptr) {
        std::strcpy(static_cast<char*>(page), "s/freed/text/");
        VirtualFree(page, 4096, MEM_DECOMMIT);
    }
    const char* bad[] = {nullptr, reinterpret_cast<const char*>(8), static_cast<const char*>(page)};
    const char* names[] = {"null", "address 8", "freed page"};
    for (int i = 0; i < 3; ++i) {
        const std::string name = names[i];
        control.Queue(Reply(0));
        CheckText(e.MOLV_MATCH(bad[i], bad[i]), "", "MOLV_MATCH(" + name + ", " + name + ")");
        control.Queue(Reply(1, {}, "t"));
        CheckText(e.MOLV_SUBST(bad[i], "x"), "t", "MOLV_SUBST(" + name + ", 'x')");
        control.Queue(Reply(0, {}, "u"));
        CheckText(e.MOLV_TRANS("tr/a/b/", bad[i]), "u", "MOLV_TRANS('tr/a/b/', " + name + ")");
        control.Queue(Reply(0));
        Check(e.MOLV_SPLIT(bad[i], bad[i], 2) == -1, "MOLV_SPLIT(" + name + ", " + name + ")");
        CheckText(e.MOLV_POSTOSTR(bad[i]), "", "MOLV_POSTOSTR(" + name + ")");
    }
    // What the library was handed: each bad text as the empty text.
    const std::string log = ReadFile(std::getenv("BREGEXP_DOUBLE_LOG"));
    Check(Count(log, "BMatch pattern= subject=0 ") == 3, "BMatch got empty pattern and subject");
    Check(Count(log, "BSubst pattern= subject=1 ") == 3, "BSubst got an empty pattern");
    // The first call compiles the pattern; the next two find it cached.
    Check(Count(log, "BTrans pattern=tr/a/b/ subject=0 ") == 1 &&
              Count(log, "BTrans pattern=(null) subject=0 ") == 2,
          "BTrans got an empty subject");
    Check(Count(log, "BSplit pattern= subject=0 limit=2 ") == 3, "BSplit got empty texts");
}

int Works() {
    const char* logPath = std::getenv("BREGEXP_DOUBLE_LOG");
    if (logPath == nullptr || *logPath == 0) {
        std::printf("FAILED: BREGEXP_DOUBLE_LOG names no file\n");
        return 1;
    }
    std::remove(logPath);

    HMODULE module = LoadLibraryA("MOLV_Wrap.dll");
    Check(module != nullptr, "LoadLibraryA loads the module (error " +
                                 std::to_string(GetLastError()) + ")");
    if (module == nullptr) return 1;
    HMODULE library = GetModuleHandleA("bregexp.dll");
    Check(library != nullptr, "attach loaded bregexp.dll");
    Exports e;
    if (!ResolveAll(module, e)) return 1;
    const Double control(library);

    CheckExports(e, control);
    CheckBadTexts(e, control);

    Check(FreeLibrary(module) != 0, "FreeLibrary of the module");
    Check(GetModuleHandleA("MOLV_Wrap.dll") == nullptr, "the module is unloaded");
    Check(GetModuleHandleA("bregexp.dll") == nullptr, "detach released bregexp.dll");

    // Every record the double made, #1 to #n, is handed back once, in that
    // order, after the last pattern call; the release of the library then
    // ends the log (the double cannot log once it is unloaded).
    const std::vector<std::string> lines = Lines(ReadFile(logPath));
    int made = 0;
    std::size_t firstFree = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("BRegfree", 0) == 0) {
            if (firstFree == lines.size()) firstFree = i;
            continue;
        }
        // "... record=null -> rc #k": the call got no record and left record k.
        const std::size_t arrow = lines[i].find(" record=null -> ");
        const std::size_t record = lines[i].rfind(" #");
        if (arrow != std::string::npos && record != std::string::npos && record > arrow) ++made;
    }
    std::vector<std::string> expected;
    for (int id = 1; id <= made; ++id) expected.push_back("BRegfree #" + std::to_string(id));
    const std::vector<std::string> freed(lines.begin() + static_cast<long>(firstFree), lines.end());
    Check(made > 0, "the double made records");
    std::string got;
    for (const std::string& line : freed) got += line + "; ";
    Check(freed == expected, "records #1 to #" + std::to_string(made) +
                                 " handed back oldest first at detach, got: " + got);

    // Bound anew, a module that compiled nothing leaves the library loaded
    // at detach: only a readable first record allows the release.
    std::remove(logPath);
    module = LoadLibraryA("MOLV_Wrap.dll");
    Check(module != nullptr, "LoadLibraryA loads the module again");
    if (module != nullptr) {
        Exports again;
        if (ResolveAll(module, again)) CheckText(again.MOLV_VERSION(), "double 1.0", "MOLV_VERSION again");
        FreeLibrary(module);
        Check(GetModuleHandleA("bregexp.dll") != nullptr,
              "with nothing compiled, detach leaves bregexp.dll loaded");
        Check(ReadFile(logPath).find("BRegfree") == std::string::npos,
              "with nothing compiled, no record is handed back");
    }
    return failures == 0 ? 0 : 1;
}

// The folder of a loaded file (null: this program), with a trailing backslash.
std::string FolderOf(HMODULE file) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(file, path, MAX_PATH);
    const std::string name(path, length < MAX_PATH ? length : 0);
    return name.substr(0, name.find_last_of('\\') + 1);
}

std::string SystemFolder() {
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0) + "\\";
}

// The working folder goes first on PATH too, so a library planted there
// would be found by either search the module must not make.
void PutWorkingFolderOnPath() {
    char folder[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    Check(length > 0 && length < MAX_PATH, "GetCurrentDirectoryA");
    char path[32767] = "";
    GetEnvironmentVariableA("PATH", path, sizeof path);
    Check(SetEnvironmentVariableA("PATH", (std::string(folder, length) + ";" + path).c_str()) != 0,
          "the working folder is put on PATH");
}

// The harness puts a library that lacks an entry point, or none, where the
// search must not look, so attach succeeds only with the right one; the
// file the module loaded tells it apart from other full ones.
int Beside(const std::string& folder, const std::string& where) {
    const std::string moduleFolder = FolderOf(nullptr) + folder + "\\";
    PutWorkingFolderOnPath();
    if (where == "none") return Refused(moduleFolder + "MOLV_Wrap.dll", false);
    HMODULE module = LoadLibraryA((moduleFolder + "MOLV_Wrap.dll").c_str());
    Check(module != nullptr, "LoadLibraryA attaches the module in " + moduleFolder + " (error " +
                                 std::to_string(GetLastError()) + ")");
    if (module == nullptr) return 1;
    const std::string expected = (where == "host"     ? FolderOf(nullptr)
                                  : where == "module" ? moduleFolder
                                                      : SystemFolder()) +
                                 "bregexp.dll";
    const std::string loaded = FolderOf(GetModuleHandleA("bregexp.dll")) + "bregexp.dll";
    Check(lstrcmpiA(loaded.c_str(), expected.c_str()) == 0,
          "the module loaded " + loaded + ", expected " + expected);
    Exports e;
    if (ResolveAll(module, e)) CheckText(e.MOLV_VERSION(), "double 1.0", "MOLV_VERSION");
    FreeLibrary(module);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::string detail = argc > 2 ? argv[2] : "";
    int status = 2;
    const std::string where = argc > 3 ? argv[3] : "";
    if (mode == "refused" && detail == "none") status = Refused("MOLV_Wrap.dll", false);
    else if (mode == "refused" && detail == "partial") status = Refused("MOLV_Wrap.dll", true);
    else if (mode == "works") status = Works();
    else if (mode == "beside" && !where.empty()) status = Beside(detail, where);
    else std::printf("usage: molv_host refused none|partial, works, or beside FOLDER WHERE\n");
    if (status == 0) std::printf("molv_host %s %s %s: all checks held\n", mode.c_str(), detail.c_str(), where.c_str());
    return status;
}
