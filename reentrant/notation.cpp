// What the library is: its commands and its version.
#include <kelvaro/rpn.h>

#include "engine/command_table.h"

#include <array>
#include <utility>

namespace {

template <std::size_t... I>
constexpr std::array<kelvaro_rpn_command, sizeof...(I)> Describe(std::index_sequence<I...>)
{
    return {{{kelvaro::kCommands[I].byte, kelvaro::kCommands[I].name,
              kelvaro::kCommands[I].meaning, kelvaro::kCommands[I].example}...}};
}

constexpr auto kDescriptions = Describe(std::make_index_sequence<kelvaro::kCommandCount>{});

}  // namespace

extern "C" const kelvaro_rpn_command *kelvaro_rpn_commands(size_t *count)
{
    if (count != nullptr) {
        *count = kDescriptions.size();
    }
    return kDescriptions.data();
}

extern "C" const char *kelvaro_rpn_version(void)
{
    return KELVARO_RPN_VERSION;
}
