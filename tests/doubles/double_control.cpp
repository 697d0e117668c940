#include "double_control.h"

#include <initializer_list>

namespace {

template <typename Function>
Function Resolve(platform::ModuleHandle library, const char* name) {
    return reinterpret_cast<Function>(platform::systemLibraryCalls().resolve(library, name));
}

}  // namespace

// The system's own calls, so a test that replaces the library-call table
// does not disturb the double.
DoubleControl::DoubleControl(const std::string& path)
    : library(platform::systemLibraryCalls().load(path.c_str())) {
    if (library == nullptr) return;
    reset = Resolve<DoubleResetFunction>(library, "DoubleReset");
    queue = Resolve<DoubleQueueFunction>(library, "DoubleQueue");
    setVersion = Resolve<DoubleSetVersionFunction>(library, "DoubleSetVersion");
    log = Resolve<DoubleLogFunction>(library, "DoubleLog");
}

DoubleControl::~DoubleControl() {
    if (library != nullptr) platform::systemLibraryCalls().release(library);
}

DoubleReply Answer(int rc, const char* message) {
    DoubleReply reply{};
    reply.rc = rc;
    reply.leaveRecord = 1;
    reply.message = message;
    return reply;
}

DoubleReply WithPairs(DoubleReply reply, std::initializer_list<long long> offsets) {
    int at = 0;
    for (long long offset : offsets) reply.pairs[at++] = offset;
    reply.pairCount = at / 2;
    return reply;
}

DoubleReply WithOutput(DoubleReply reply, const char* output) {
    reply.output = output;
    return reply;
}

DoubleReply WithoutRecord(DoubleReply reply) {
    reply.leaveRecord = 0;
    return reply;
}

std::string DoublePath(const std::string& variant) {
    return std::string(MOLV_DOUBLE_DIR) + "/" + variant + "/bregexp.dll";
}
