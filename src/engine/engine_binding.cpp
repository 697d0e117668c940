// Building and tearing down the binding, and the cached version text.
#include "engine/engine_binding.h"

namespace {

// Looked up in this order, all of them, before any is tested.
constexpr const char* kEntryPointNames[] = {"BMatch", "BSubst", "BTrans",
                                             "BSplit", "BRegfree", "BRegexpVersion"};

}  // namespace

// Members are built in declaration order (the containers, the result set,
// the three texts) before the library is loaded; when loading throws, they
// are destroyed again in reverse and the library handle is kept.
EngineBinding::EngineBinding(StringBuffer& libraryName)
    : library(nullptr),
      BMatch(nullptr),
      BSubst(nullptr),
      BTrans(nullptr),
      BSplit(nullptr),
      BRegfree(nullptr),
      BRegexpVersion(nullptr),
      lastSubject(2),
      versionText(2),
      errorText(2) {
    library = platform::LoadLibraryA(libraryName.GetText());
    if (library == nullptr) throw DllNotFoundError();
    ResolveEntryPoints();
}

void EngineBinding::ResolveEntryPoints() {
    using platform::ResolveEntryPoint;
    BMatch = ResolveEntryPoint<BMatchFunction>(library, kEntryPointNames[0]);
    BSubst = ResolveEntryPoint<BSubstFunction>(library, kEntryPointNames[1]);
    BTrans = ResolveEntryPoint<BTransFunction>(library, kEntryPointNames[2]);
    BSplit = ResolveEntryPoint<BSplitFunction>(library, kEntryPointNames[3]);
    BRegfree = ResolveEntryPoint<BRegfreeFunction>(library, kEntryPointNames[4]);
    BRegexpVersion = ResolveEntryPoint<BRegexpVersionFunction>(library, kEntryPointNames[5]);
    if (BMatch == nullptr || BSubst == nullptr || BTrans == nullptr || BSplit == nullptr ||
        BRegfree == nullptr || BRegexpVersion == nullptr) {
        throw DllProcAddressNotFoundError();
    }
}

// The records go back to the library first; the members follow in reverse
// order of declaration: the texts, the result set, the registry, the cache.
EngineBinding::~EngineBinding() { ReleaseCompiled(); }

StringBuffer& EngineBinding::GetVersionText() {
    // Asked again only while the library has answered with an empty text.
    if (versionText.GetLength() == 0) versionText.Assign(BRegexpVersion(), 0, -1);
    return versionText;
}
