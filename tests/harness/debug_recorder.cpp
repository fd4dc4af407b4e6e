// OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the text; a vectored handler records it and
// lets the program go on, so the code's own diagnostics are testable in-process.
#include "harness.h"

#include <mutex>

namespace {

std::mutex s_mutex;
std::vector<std::string> s_outputs;
int s_recorders = 0;

LONG CALLBACK RecordDebugString(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    const size_t length = static_cast<size_t>(record->ExceptionInformation[0]);
    const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    std::lock_guard<std::mutex> lock(s_mutex);
    // The length counts the terminating zero.
    s_outputs.emplace_back(text, length > 0 ? length - 1 : 0);
    return EXCEPTION_CONTINUE_EXECUTION;
}

} // namespace

DebugOutputRecorder::DebugOutputRecorder() {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_outputs.clear();
    ++s_recorders;
    m_handler = AddVectoredExceptionHandler(1, RecordDebugString);
}

DebugOutputRecorder::~DebugOutputRecorder() {
    RemoveVectoredExceptionHandler(m_handler);
    std::lock_guard<std::mutex> lock(s_mutex);
    --s_recorders;
}

std::vector<std::string> DebugOutputRecorder::Outputs() const {
    std::lock_guard<std::mutex> lock(s_mutex);
    return s_outputs;
}

std::string DebugOutputRecorder::Joined() const {
    std::string all;
    for (const std::string& s : Outputs()) {
        all += s;
    }
    return all;
}

bool DebugOutputRecorder::HasErrorLine(const std::string& text) const {
    return ErrorLineCount(text) > 0;
}

int DebugOutputRecorder::ErrorLineCount(const std::string& text) const {
    const std::vector<std::string> outputs = Outputs();
    int lines = 0;
    for (size_t i = 0; i + 2 < outputs.size(); ++i) {
        if (outputs[i] == "ERROR: " && outputs[i + 1] == text && outputs[i + 2] == "\n") {
            ++lines;
        }
    }
    return lines;
}

void DebugOutputRecorder::Clear() {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_outputs.clear();
}
