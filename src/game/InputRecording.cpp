#include <kiv/data/File.h>
#include <kiv/game/InputRecording.h>

namespace {

// Each buffer starts with room for this many frames.
constexpr std::size_t FirstRoom = 10;

} // namespace

InputRecording::InputRecording() {
    Clear();
}

void InputRecording::Clear() {
    keys.clear();
    keyFrameStart.clear();
    mouseFlags.clear();
    mouseSteps.clear();
    keys.reserve(FirstRoom);
    keyFrameStart.reserve(FirstRoom);
    mouseFlags.reserve(FirstRoom);
    mouseSteps.reserve(FirstRoom);
}

void InputRecording::StartKeyFrame() {
    keyFrameStart.push_back(static_cast<std::uint32_t>(keys.size()));
}

void InputRecording::AddKey(unsigned char code) {
    keys.push_back(code);
}

const unsigned char* InputRecording::KeyFrame(unsigned int i, unsigned int& count) const {
    std::size_t end = i + 1 < keyFrameStart.size() ? keyFrameStart[i + 1] : keys.size();
    count = static_cast<unsigned int>(end - keyFrameStart[i]);
    return keys.data() + keyFrameStart[i];
}

void InputRecording::AddMouseFrame(unsigned char flags, const std::array<std::int32_t, 3>& steps) {
    mouseFlags.push_back(flags);
    mouseSteps.push_back(steps);
}

void InputRecording::Save(File& file) const {
    file.Write(KeyFrames());
    for (unsigned int i = 0; i < KeyFrames(); ++i) {
        unsigned int n = 0;
        const unsigned char* codes = KeyFrame(i, n);
        file.Write(n);
        file.Write(codes, static_cast<int>(n));
    }
    file.Write(MouseFlagFrames());
    file.Write(mouseFlags.data(), static_cast<int>(mouseFlags.size()));
    file.Write(MouseStepFrames());
    for (const auto& triple : mouseSteps)
        for (std::int32_t v : triple)
            file.Write(v);
}

// Every count is checked against what is left of the file before anything is made, so a
// damaged count ends in the file's fatal message instead of a huge buffer.
void InputRecording::Load(File& file) {
    Clear();
    unsigned int frames = 0;
    file.Read(frames);
    file.Require(static_cast<long>(frames) * 4);
    for (unsigned int i = 0; i < frames; ++i) {
        unsigned int n = 0;
        file.Read(n);
        file.Require(n);
        StartKeyFrame();
        keys.resize(keys.size() + n);
        file.Read(keys.data() + keys.size() - n, static_cast<int>(n));
    }
    unsigned int bytes = 0;
    file.Read(bytes);
    file.Require(bytes);
    mouseFlags.resize(bytes);
    file.Read(mouseFlags.data(), static_cast<int>(bytes));
    unsigned int triples = 0;
    file.Read(triples);
    file.Require(static_cast<long>(triples) * 12);
    mouseSteps.resize(triples);
    for (auto& triple : mouseSteps)
        for (std::int32_t& v : triple)
            file.Read(v);
}
