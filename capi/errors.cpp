// Result codes, messages and the library's version.
#include <string>

#include "capi/engine_handle.h"

namespace {
// Why this thread's latest qelv_create failed, and each thread's copy of a message.
thread_local std::string createFailure = "no error";
thread_local std::string messageCopy;
}  // namespace

int qelv_engine::Fail(int code, std::string why) {
    std::lock_guard<std::mutex> lock(messageLock);
    message = std::move(why);
    return code;
}

std::string qelv_engine::LastFailure() const {
    std::lock_guard<std::mutex> lock(messageLock);
    return message;
}

int FailWithoutEngine(int code, std::string why) {
    createFailure = std::move(why);
    return code;
}

int qelv_version_number(void) { return QELV_VERSION_NUMBER; }

const char* qelv_version(void) { return QELV_VERSION; }

const char* qelv_error_name(int code) {
    switch (code) {
        case QELV_OK: return "no error";
        case QELV_ERROR_ARGUMENT: return "invalid argument";
        case QELV_ERROR_PRESET: return "not a preset";
        case QELV_ERROR_IO: return "cannot read the file";
        case QELV_ERROR_MEMORY: return "out of memory";
        case QELV_ERROR_NOT_FOUND: return "no such shipped preset";
        default: return "unknown result code";
    }
}

const char* qelv_errmsg(const qelv_engine* engine) {
    try {
        messageCopy = engine ? engine->LastFailure() : createFailure;
        return messageCopy.c_str();
    } catch (...) {
        return "out of memory";
    }
}
