#pragma once

#include <kiv/base/UserError.h>

#include <string>

namespace kiv::test {

// "function | message" of the last user error ("" for none), which is then forgotten.
inline std::string LastUserError() {
    std::string e = _UE.targetFunction[0]
                        ? std::string(_UE.targetFunction) + " | " + _UE.errorMessage
                        : std::string();
    _UE = UserError();
    return e;
}

} // namespace kiv::test
