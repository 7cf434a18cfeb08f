// KelvaroCalculatorRPN.dll as Windows sees it: loading and unloading, the
// export table, and the version resource.
#include <kelvaro/calculator_rpn.h>

#include "support/fatal.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using kelvaro_test::StdoutOf;

constexpr const wchar_t *kDllName = L"KelvaroCalculatorRPN.dll";
using CalculatorRPNFunction = decltype(&CalculatorRPN);

// GetProcAddress hands back a generic function pointer; void (*)() converts
// to and from every function pointer type without a cast warning.
CalculatorRPNFunction AsCalculatorRPN(FARPROC address)
{
    return reinterpret_cast<CalculatorRPNFunction>(reinterpret_cast<void (*)()>(address));
}

TEST(DllExportTest, CalculatorRPNIsOrdinalOneAndTheOnlyExport)
{
    // This program does not link the DLL, so loading it here really loads it.
    ASSERT_EQ(GetModuleHandleW(kDllName), nullptr);
    const HMODULE dll = LoadLibraryW(kDllName);
    ASSERT_NE(dll, nullptr) << "LoadLibrary failed: " << GetLastError();

    const FARPROC byName = GetProcAddress(dll, "CalculatorRPN");
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(GetProcAddress(dll, MAKEINTRESOURCEA(1)), byName);
    EXPECT_EQ(GetProcAddress(dll, MAKEINTRESOURCEA(2)), nullptr);
    EXPECT_EQ(GetProcAddress(dll, "CalculatorRPN@4"), nullptr);
    EXPECT_EQ(GetProcAddress(dll, "_CalculatorRPN@4"), nullptr);
    EXPECT_EQ(GetProcAddress(dll, "DllMain"), nullptr);

    EXPECT_TRUE(FreeLibrary(dll));
}

TEST(DllLoadTest, EvaluatesAfterEveryLoadAndUnloadsCompletely)
{
    ASSERT_EQ(GetModuleHandleW(kDllName), nullptr);
    for (int round = 0; round < 2; ++round) {
        const HMODULE dll = LoadLibraryW(kDllName);
        ASSERT_NE(dll, nullptr) << "LoadLibrary failed: " << GetLastError();
        const CalculatorRPNFunction calculate =
            AsCalculatorRPN(GetProcAddress(dll, "CalculatorRPN"));
        ASSERT_NE(calculate, nullptr);

        std::wstring returned;
        EXPECT_EQ(StdoutOf([&] { returned = calculate(L"3 4 +"); }), "result = 7.000000\n");
        EXPECT_EQ(returned, L"7.000000");

        // A thread started and ended while the DLL is loaded brings thread
        // attach and detach notifications; the call works on that thread.
        std::wstring fromThread;
        const std::string output = StdoutOf([&] {
            std::thread worker([&] { fromThread = calculate(L"2 3 *"); });
            worker.join();
        });
        EXPECT_EQ(output, "result = 6.000000\n");
        EXPECT_EQ(fromThread, L"6.000000");

        ASSERT_TRUE(FreeLibrary(dll));
        EXPECT_EQ(GetModuleHandleW(kDllName), nullptr) << "round " << round;
    }
}

std::wstring DllPath()
{
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    std::wstring directory(path.data(), length);
    directory.erase(directory.find_last_of(L"\\/") + 1);
    return directory + kDllName;
}

class VersionResourceTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::wstring path = DllPath();
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version resource: " << GetLastError();
        data_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data_.data()));
    }

    template <typename T>
    const T *Query(const std::wstring &block, UINT *length = nullptr)
    {
        void *value = nullptr;
        UINT size = 0;
        if (!VerQueryValueW(data_.data(), block.c_str(), &value, &size)) {
            return nullptr;
        }
        if (length != nullptr) {
            *length = size;
        }
        return static_cast<const T *>(value);
    }

    std::vector<char> data_;
};

TEST_F(VersionResourceTest, FileAndProductVersionsAreTheProjectVersion)
{
    constexpr DWORD kMostSignificant = (KELVARO_RPN_VERSION_MAJOR << 16) | KELVARO_RPN_VERSION_MINOR;
    constexpr DWORD kLeastSignificant = (KELVARO_RPN_VERSION_PATCH << 16) | KELVARO_RPN_VERSION_TWEAK;
    const auto *fixed = Query<VS_FIXEDFILEINFO>(L"\\");
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, kMostSignificant);
    EXPECT_EQ(fixed->dwFileVersionLS, kLeastSignificant);
    EXPECT_EQ(fixed->dwProductVersionMS, kMostSignificant);
    EXPECT_EQ(fixed->dwProductVersionLS, kLeastSignificant);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

TEST_F(VersionResourceTest, NamesTheModuleAndItsVersion)
{
    struct Translation {
        WORD language;
        WORD codePage;
    };
    UINT length = 0;
    const auto *translation = Query<Translation>(L"\\VarFileInfo\\Translation", &length);
    ASSERT_NE(translation, nullptr);
    ASSERT_GE(length, sizeof(Translation));
    wchar_t block[64];
    swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation->language,
             translation->codePage);

    const struct {
        const wchar_t *name;
        const wchar_t *value;
    } expected[] = {
        {L"InternalName", L"KelvaroCalculatorRPN"},
        {L"OriginalFilename", L"KelvaroCalculatorRPN.dll"},
        {L"FileVersion", L"" KELVARO_RPN_VERSION},
        {L"ProductVersion", L"" KELVARO_RPN_VERSION},
    };
    for (const auto &entry : expected) {
        const wchar_t *value = Query<wchar_t>(std::wstring(block) + entry.name);
        ASSERT_NE(value, nullptr) << "missing " << testing::PrintToString(entry.name);
        EXPECT_STREQ(value, entry.value);
    }
}

}  // namespace
