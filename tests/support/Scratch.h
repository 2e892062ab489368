#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kiv::platform::headless {
class HeadlessPlatform;
}

namespace kiv::test {

// Runs each test in a fresh, empty working folder (the library writes "Kiv.log" and saves
// into the current folder), with the headless backend and its own instance lock file.
class Scratch : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes `bytes` to `path`, making its folder.
    static void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
    static std::vector<unsigned char> ReadBytes(const std::string& path);
    static std::string ReadText(const std::string& path);
    // The headless backend the test runs on.
    static platform::headless::HeadlessPlatform& Headless();
    // The texts of the message boxes shown so far.
    static std::vector<std::string> BoxTexts();

    std::filesystem::path folder;

private:
    std::filesystem::path previous;
};

} // namespace kiv::test
