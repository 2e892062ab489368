#include "Scratch.h"

#include "platform/headless/HeadlessPlatform.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace kiv::test {

void Scratch::SetUp() {
    previous = std::filesystem::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder =
        std::filesystem::temp_directory_path() /
        ("kiv-" + std::to_string(getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    setenv("KIV_LOCK_FILE", (folder / "kiv.lock").c_str(), 1);
    platform::headless::Install();
}

void Scratch::TearDown() {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
}

void Scratch::WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    if (auto parent = std::filesystem::path(path).parent_path(); !parent.empty())
        std::filesystem::create_directories(parent);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

platform::headless::HeadlessPlatform& Scratch::Headless() {
    return static_cast<platform::headless::HeadlessPlatform&>(platform::Current());
}

std::vector<std::string> Scratch::BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : Headless().dialogs.Shown())
        texts.push_back(box.text);
    return texts;
}

std::vector<unsigned char> Scratch::ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Scratch::ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace kiv::test
