#include "data/RecordReading.h"

#include <kiv/base/UserError.h>

#include "data/DataLimits.h"
#include "platform/Platform.h"

namespace kiv {

void OutOfRange(File& file, const char* what) {
    FatalError("The data file %s is damaged: %s is out of range.",
               platform::LocalPath(file.Name()).c_str(), what);
}

float GetCoordinate(File& file, const char* what) {
    float v = Get<float>(file);
    if (!IsCoordinate(v))
        OutOfRange(file, what);
    return v;
}

int GetWholeCoordinate(File& file, const char* what) {
    int v = Get<int>(file);
    if (!IsCoordinate(v))
        OutOfRange(file, what);
    return v;
}

KivRect GetCoordinateRect(File& file, const char* what) {
    KivRect r;
    r.left = GetWholeCoordinate(file, what);
    r.top = GetWholeCoordinate(file, what);
    r.right = GetWholeCoordinate(file, what);
    r.bottom = GetWholeCoordinate(file, what);
    return r;
}

unsigned int GetExtent(File& file, const char* what) {
    auto v = Get<unsigned int>(file);
    if (v > static_cast<unsigned int>(MaxCoordinate))
        OutOfRange(file, what);
    return v;
}

} // namespace kiv
