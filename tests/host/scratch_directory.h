// A fixture with a fresh directory under /tmp (on Windows, the user's
// temporary folder) for each test, removed with everything in it afterwards.
#ifndef KELVARO_TESTS_HOST_SCRATCH_DIRECTORY_H
#define KELVARO_TESTS_HOST_SCRATCH_DIRECTORY_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <filesystem>
#include <windows.h>
#else
#include <ftw.h>
#include <sys/stat.h>
#endif

#ifdef _WIN32
class ScratchDirectoryTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (unsigned attempt = 0; root_.empty(); ++attempt) {
            const std::filesystem::path candidate =
                base / ("rpn-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt));
            if (std::filesystem::create_directory(candidate)) {
                root_ = candidate.string();
            }
        }
    }

    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::string root_;
};
#else
class ScratchDirectoryTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/rpn-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
    }

    void TearDown() override
    {
        constexpr int kOpenDirectories = 16;
        nftw(root_.c_str(), RemoveEntry, kOpenDirectories, FTW_DEPTH | FTW_PHYS);
    }

    std::string root_;

private:
    static int RemoveEntry(const char *path, const struct stat *, int, FTW *)
    {
        return std::remove(path);
    }
};
#endif

#endif
