#include "host/protocol.h"

const char* SelectorName(int16_t selector) {
    switch (selector) {
    case kSelectorAbout: return "about";
    case kSelectorParameters: return "parameters";
    case kSelectorPrepare: return "prepare";
    case kSelectorStart: return "start";
    case kSelectorContinue: return "continue";
    case kSelectorFinish: return "finish";
    default: return "an unknown selector";
    }
}

std::string DescribeResult(int16_t code) {
    const char* meaning = "unknown error";
    switch (code) {
    case kResultOk: meaning = "success"; break;
    case kResultCancelled: meaning = "cancelled or stopped"; break;
    case kResultOutOfMemory: meaning = "out of memory"; break;
    case kResultBadSelector: meaning = "bad selector"; break;
    default: break;
    }
    return std::to_string(code) + " (" + meaning + ")";
}

int ExitStatusForResult(int16_t code) {
    if (code == kResultOk) return kExitDone;
    if (code == kResultCancelled) return kExitCancelled;
    return kExitFailed;
}

Area ToArea(const HostArea& a) { return Area{a.top, a.left, a.bottom, a.right}; }

HostArea ToHostArea(const Area& a) {
    return HostArea{int16_t(a.top), int16_t(a.left), int16_t(a.bottom), int16_t(a.right)};
}
