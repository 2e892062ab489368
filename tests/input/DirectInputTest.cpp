#include <kiv/Kiv.h>

#include "Scratch.h"
#include "game/LoopGlobals.h"

#include <cstdint>
#include <string>

namespace {

// Result codes as a caller holds them: 32-bit values, negative for failures.
long Code(std::uint32_t value) {
    return static_cast<std::int32_t>(value);
}

class InputErrors : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        pConsole = new Console;
        pConsole->Show(false);
    }
    void TearDown() override {
        delete pConsole;
        pConsole = nullptr;
        Scratch::TearDown();
    }
};

} // namespace

TEST_F(InputErrors, KnownCodeIsReportedByNameAndDescription) {
    kiv::FrameCounter = 41;
    DirectInput::DIError("Keyboard.cpp", 87, Code(0x8007001E));
    std::string expected = "Output after loop 41 :\n\n"
                           "Direct Input Error:\n"
                           "DirectInput Error in File Keyboard.cpp Line :87.\n"
                           "Error Code Is DIERR_INPUTLOST.\n"
                           "Description : Access to the input device has been lost. It must be "
                           "reacquired.\n";
    EXPECT_EQ(pConsole->Text(), expected);
    EXPECT_EQ(ReadText("Kiv.log"), expected);
    EXPECT_TRUE(pConsole->Show());

    // The same code given without sign extension, and a code shared with other names.
    kiv::FrameCounter = 42;
    DirectInput::DIError("Mouse.cpp", 5, 0x8007000CL);
    DirectInput::DIError("Mouse.cpp", 6, Code(0x80070005));
    std::string text = pConsole->Text();
    EXPECT_NE(text.find("Line :5.\nError Code Is DIERR_NOTACQUIRED.\nDescription : The operation "
                        "cannot be performed unless the device is acquired.\n"),
              std::string::npos);
    EXPECT_NE(text.find("Line :6.\nError Code Is DSERR_ACCESSDENIED.\n"), std::string::npos);
}

TEST_F(InputErrors, UnknownCodeHasNoDescriptionAndZeroIsNoError) {
    kiv::FrameCounter = 43;
    DirectInput::DIError("Input.cpp", 3, 0);
    EXPECT_EQ(ReadText("Kiv.log"), "");
    EXPECT_FALSE(pConsole->Show());

    DirectInput::DIError("Input.cpp", -1, Code(0x80041234));
    EXPECT_STREQ(pConsole->Text(), "Output after loop 43 :\n\n"
                                   "Direct Input Error:\n"
                                   "DirectInput Error in File Input.cpp Line :-1.\n"
                                   "Error Code Is UNKNOWN.\n"
                                   "Description : \n");
}

TEST_F(InputErrors, LongReportIsNotCutAndGoesToStandardErrorWithoutConsole) {
    kiv::FrameCounter = 44;
    std::string path(600, 'd');
    DirectInput::DIError(path.c_str(), 12, Code(0x8004020A));
    std::string text = pConsole->Text();
    EXPECT_NE(text.find("File " + path + " Line :12.\n"), std::string::npos);
    EXPECT_NE(text.find("device is not plugged in.\n"), std::string::npos);

    delete pConsole;
    pConsole = nullptr;
    testing::internal::CaptureStderr();
    DirectInput::DIError("Input.cpp", 9, Code(0x8000000A));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Direct Input Error:\nDirectInput Error in File Input.cpp Line :9.\n"
              "Error Code Is E_PENDING.\nDescription : Data is not yet available.\n");
}
