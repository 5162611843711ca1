#pragma once
// Small helpers every test suite needs: a temporary folder, whole-file reads and writes,
// environment and locale changes that undo themselves.

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "platform/shared_block.h"

namespace velk::testing {

// Shared-memory blocks of this test process under names of its own (so a test never meets a
// running program's blocks), removed again at the end so that nothing is left in /dev/shm.
class OwnSharedBlocks {
public:
    explicit OwnSharedBlocks(const std::string& tag)
    {
        SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-" + tag + "-");
    }
    ~OwnSharedBlocks()
    {
        UnlinkSharedBlocks();
        SetSharedBlockPrefix("");
    }
    OwnSharedBlocks(const OwnSharedBlocks&) = delete;
    OwnSharedBlocks& operator=(const OwnSharedBlocks&) = delete;
};

// A fresh folder under the system temporary folder, removed with its contents at the end.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "velk-test-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Names of everything in the folder, sorted, for "no temporary file left behind" checks.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(path_, ec))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

inline std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileText(const std::string& path, std::string_view text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

inline void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Sets (or, with nullptr, unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv()
    {
        if (old_) {
            ::setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// Sets the process-wide C and C++ locales for one scope and restores both afterwards.
class ScopedGlobalLocale {
public:
    explicit ScopedGlobalLocale(const char* name)
    {
        const char* current = std::setlocale(LC_ALL, nullptr);
        savedC_ = current != nullptr ? current : "C";
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
        if (ok_) {
            try {
                savedCpp_ = std::locale::global(std::locale(name));
            } catch (const std::runtime_error&) {
                ok_ = false;
                std::setlocale(LC_ALL, savedC_.c_str());
            }
        }
    }
    ~ScopedGlobalLocale()
    {
        if (ok_) std::locale::global(savedCpp_);
        std::setlocale(LC_ALL, savedC_.c_str());
    }
    ScopedGlobalLocale(const ScopedGlobalLocale&) = delete;
    ScopedGlobalLocale& operator=(const ScopedGlobalLocale&) = delete;
    bool Ok() const { return ok_; }

private:
    std::string savedC_;
    std::locale savedCpp_;
    bool ok_ = false;
};

}  // namespace velk::testing

// Skips the test when the German locale the number-format tests use is not installed.
#define VELK_SKIP_WITHOUT_LOCALE(guard) \
    if (!(guard).Ok()) GTEST_SKIP() << "locale not installed (scripts/setup-deps.sh generates it)"
