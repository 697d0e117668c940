// A calling thread's texts and positions, and the hand-off of its results.
#include "engine/thread_state.h"

#include "engine/packed_position.h"

ThreadState::ThreadState()
    : resultText(2), errorText(2), lastSubject(2), workSubject(2) {}

const char* ThreadState::HandOff(const StringBuffer& result) {
    resultText = result;
    return resultText.GetText();
}

const char* ThreadState::HandOff(TextSpan result) {
    if (result.length == 0) return HandOff(emptyString);
    resultText.CopyIn(result);
    return resultText.GetText();
}

const char* ThreadState::HandOffPosition(std::int32_t position) {
    char text[kPositionTextSize];
    return HandOff(TextSpan{text, FormatPositionText(position, text)});
}
