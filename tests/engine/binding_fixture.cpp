#include "binding_fixture.h"

#include <sstream>

WatchedLibraryCalls BindingTest::watched;

namespace {

const DoubleControl* activeControl = nullptr;

platform::ModuleHandle WatchedLoad(const char* name) {
    ++BindingTest::watched.loads;
    if (BindingTest::watched.failLoad) return nullptr;
    return platform::systemLibraryCalls().load(name);
}

platform::ProcAddress WatchedResolve(platform::ModuleHandle library, const char* name) {
    BindingTest::watched.lookups.push_back(name);
    return platform::systemLibraryCalls().resolve(library, name);
}

platform::Bool WatchedRelease(platform::ModuleHandle library) {
    ++BindingTest::watched.releases;
    if (activeControl != nullptr) BindingTest::watched.logAtRelease = activeControl->Log();
    return platform::systemLibraryCalls().release(library);
}

}  // namespace

void BindingTest::SetUp() {
    ASSERT_TRUE(control.Loaded());
    control.Reset();
    watched = WatchedLibraryCalls{};
    activeControl = &control;
    platform::libraryCalls() = {WatchedLoad, WatchedResolve, WatchedRelease};
}

void BindingTest::TearDown() {
    platform::libraryCalls() = platform::systemLibraryCalls();
    activeControl = nullptr;
}

std::unique_ptr<EngineBinding> BindingTest::Bind(const std::string& variant) {
    // In the module a thread's state never outlives the binding; here one
    // state serves several bindings, and an earlier one took its records.
    thread.patternCache.TakeAll();
    StringBuffer name(DoublePath(variant).c_str(), -1, 2);
    return std::make_unique<EngineBinding>(name);
}

std::vector<std::string> BindingTest::LogLines(const std::string& prefix) const {
    std::vector<std::string> lines;
    std::istringstream log(control.Log());
    for (std::string line; std::getline(log, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
    }
    return lines;
}
