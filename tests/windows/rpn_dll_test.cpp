// KelvaroRPN.dll loaded at run time, as a host that finds it by name does:
// only kelvaro_rpn_* names leave it, and they work from several threads.
#include <kelvaro/rpn.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <thread>
#include <vector>

namespace {

constexpr const wchar_t *kDllName = L"KelvaroRPN.dll";
using EvaluateFunction = decltype(&kelvaro_rpn_evaluate);

EvaluateFunction AsEvaluate(FARPROC address)
{
    return reinterpret_cast<EvaluateFunction>(reinterpret_cast<void (*)()>(address));
}

TEST(RpnDllTest, ExportsOnlyTheApiAndEvaluatesOnEveryThread)
{
    ASSERT_EQ(GetModuleHandleW(kDllName), nullptr);
    const HMODULE dll = LoadLibraryW(kDllName);
    ASSERT_NE(dll, nullptr) << "LoadLibrary failed: " << GetLastError();
    EXPECT_EQ(GetProcAddress(dll, "CalculatorRPN"), nullptr);
    EXPECT_EQ(GetProcAddress(dll, "DllMain"), nullptr);
    EXPECT_NE(GetProcAddress(dll, "kelvaro_rpn_version"), nullptr);
    const EvaluateFunction evaluate = AsEvaluate(GetProcAddress(dll, "kelvaro_rpn_evaluate"));
    ASSERT_NE(evaluate, nullptr);

    std::vector<double> values(4, 0.0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < values.size(); ++t) {
        threads.emplace_back([&, t] {
            const char text[] = {static_cast<char>('1' + t), ' ', '2', ' ', '^'};
            kelvaro_rpn_outcome outcome{};
            if (evaluate(text, sizeof text, &outcome) == KELVARO_RPN_OK) {
                values[t] = outcome.value;
            }
        });
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    EXPECT_EQ(values, (std::vector<double>{1, 4, 9, 16}));
    EXPECT_TRUE(FreeLibrary(dll));
    EXPECT_EQ(GetModuleHandleW(kDllName), nullptr);
}

}  // namespace
