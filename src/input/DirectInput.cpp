#include <kiv/base/Console.h>
#include <kiv/input/DirectInput.h>

#include "base/ConsoleOutput.h"
#include "input/DirectInputState.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The system side of input is the platform's InputSource, which exists for the whole run;
// what remains shared between the devices is the count of users and their window.
unsigned int liveObjects = 0;
HWND inputWindow = nullptr;

struct KnownCode {
    std::uint32_t code;
    const char* name;
    const char* description;
};

// Result codes of the input calls, with their explanations. Several codes share a value
// (the access-denied code is also "other application has priority" and "read only"); the
// table holds one entry per value.
constexpr KnownCode KnownCodes[] = {
    {0x80070005u, "DSERR_ACCESSDENIED", "The request failed because access was denied."},
    {0x00000001u, "DI_BUFFEROVERFLOW",
     "The device buffer overflowed and some input was lost. This value is equal to the "
     "S_FALSE standard COM return value."},
    {0x00000003u, "DI_DOWNLOADSKIPPED",
     "The parameters of the effect were successfully updated, but the effect could not be "
     "downloaded because the associated device was not acquired in exclusive mode."},
    {0x00000004u, "DI_EFFECTRESTARTED",
     "The effect was stopped, the parameters were updated, and the effect was restarted."},
    {0x00000002u, "DI_POLLEDDEVICE",
     "The device is a polled device. As a result, device buffering does not collect any data "
     "and event notifications is not signaled until the Poll method is called."},
    {0x00000008u, "DI_TRUNCATED",
     "The parameters of the effect were successfully updated, but some of them were beyond "
     "the capabilities of the device and were truncated to the nearest supported value."},
    {0x0000000Cu, "DI_TRUNCATEDANDRESTARTED", "Equal to DI_EFFECTRESTARTED | DI_TRUNCATED."},
    {0x800700AAu, "DIERR_ACQUIRED",
     "The operation cannot be performed while the device is acquired."},
    {0x800704DFu, "DIERR_ALREADYINITIALIZED", "This object is already initialized."},
    {0x80070077u, "DIERR_BADDRIVERVER",
     "The object could not be created due to an incompatible driver version or mismatched or "
     "incomplete driver components."},
    {0x80070481u, "DIERR_BETADIRECTINPUTVERSION",
     "The application was written for an unsupported prerelease version of DirectInput."},
    {0x80040201u, "DIERR_DEVICEFULL", "The device is full."},
    {0x80040154u, "DIERR_DEVICENOTREG",
     "The device or device instance is not registered with DirectInput. This value is equal "
     "to the REGDB_E_CLASSNOTREG standard COM return value."},
    {0x80040208u, "DIERR_EFFECTPLAYING",
     "The parameters were updated in memory but were not downloaded to the device because the "
     "device does not support updating an effect while it is still playing."},
    {0x80040204u, "DIERR_HASEFFECTS",
     "The device cannot be reinitialized because there are still effects attached to it."},
    {0x80004005u, "DIERR_GENERIC",
     "An undetermined error occurred inside the DirectInput subsystem. This value is equal to "
     "the E_FAIL standard COM return value."},
    {0x80040206u, "DIERR_INCOMPLETEEFFECT",
     "The effect could not be downloaded because essential information is missing. For "
     "example, no axes have been associated with the effect, or no type-specific information "
     "has been supplied."},
    {0x8007001Eu, "DIERR_INPUTLOST",
     "Access to the input device has been lost. It must be reacquired."},
    {0x80070057u, "DIERR_INVALIDPARAM",
     "An invalid parameter was passed to the returning function, or the object was not in a "
     "state that permitted the function to be called. This value is equal to the E_INVALIDARG "
     "standard COM return value."},
    {0x80040202u, "DIERR_MOREDATA", "Not all the requested information fitted into the buffer."},
    {0x80040110u, "DIERR_NOAGGREGATION", "This object does not support aggregation."},
    {0x80004002u, "DIERR_NOINTERFACE",
     "The specified interface is not supported by the object. This value is equal to the "
     "E_NOINTERFACE standard COM return value."},
    {0x8007000Cu, "DIERR_NOTACQUIRED",
     "The operation cannot be performed unless the device is acquired."},
    {0x80040207u, "DIERR_NOTBUFFERED",
     "The device is not buffered. Set the DIPROP_BUFFERSIZE property to enable buffering."},
    {0x80040203u, "DIERR_NOTDOWNLOADED", "The effect is not downloaded."},
    {0x80040205u, "DIERR_NOTEXCLUSIVEACQUIRED",
     "The operation cannot be performed unless the device is acquired in DISCL_EXCLUSIVE "
     "mode."},
    {0x80070002u, "DIERR_NOTFOUND", "The requested object does not exist."},
    {0x80070015u, "DIERR_NOTINITIALIZED", "This object has not been initialized."},
    {0x8007047Eu, "DIERR_OLDDIRECTINPUTVERSION",
     "The application requires a newer version of DirectInput."},
    {0x8007000Eu, "DIERR_OUTOFMEMORY",
     "The DirectInput subsystem could not allocate sufficient memory to complete the call. "
     "This value is equal to the E_OUTOFMEMORY standard COM return value."},
    {0x80040209u, "DIERR_REPORTFULL",
     "More information was requested to be sent than can be sent to the device."},
    {0x8004020Au, "DIERR_UNPLUGGED",
     "The operation could not be completed because the device is not plugged in."},
    {0x80004001u, "DIERR_UNSUPPORTED",
     "The function called is not supported at this time. This value is equal to the E_NOTIMPL "
     "standard COM return value."},
    {0x80070006u, "E_HANDLE",
     "The HWND parameter is not a valid top-level window that belongs to the process."},
    {0x8000000Au, "E_PENDING", "Data is not yet available."},
};

const KnownCode* Find(std::uint32_t code) {
    for (const KnownCode& k : KnownCodes)
        if (k.code == code)
            return &k;
    return nullptr;
}

} // namespace

namespace kiv {

unsigned int LiveDirectInputObjects() {
    return liveObjects;
}

HWND DirectInputWindow() {
    return inputWindow;
}

} // namespace kiv

DirectInput::DirectInput(HWND window, HINSTANCE) {
    inputWindow = window;
    ++liveObjects;
}

DirectInput::~DirectInput() {
    --liveObjects;
}

void DirectInput::DIError(const char* file, int line, long code) {
    if (code == 0)
        return;
    // Result codes are 32-bit; a caller may hand one over sign-extended or not.
    const KnownCode* known = Find(static_cast<std::uint32_t>(code));
    std::string text = "DirectInput Error in File ";
    text += file ? file : "";
    text += " Line :" + std::to_string(line) + ".\n";
    text += "Error Code Is ";
    text += known ? known->name : "UNKNOWN";
    text += ".\nDescription : ";
    if (known)
        text += known->description;
    kiv::PrintToConsole("Direct Input Error:\n");
    kiv::PrintToConsole(text.c_str());
    kiv::PrintToConsole("\n");
    if (pConsole)
        pConsole->Show(true);
}
