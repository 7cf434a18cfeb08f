// A fixture with a fresh directory under /tmp for each test, removed with
// everything in it afterwards.
#ifndef KELVARO_TESTS_HOST_SCRATCH_DIRECTORY_H
#define KELVARO_TESTS_HOST_SCRATCH_DIRECTORY_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <ftw.h>
#include <sys/stat.h>

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
