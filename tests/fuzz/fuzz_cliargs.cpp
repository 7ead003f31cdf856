// zelk-cli's command line as any bytes, cut into arguments at NUL: every
// input is either parsed or refused with the one exception a refusal has.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli_args.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    try {
        const zelk::cli::TArgs parsed = zelk::cli::ParseArgs(args);
        // What passed is in range: a count the batch can hold, a variant from 1.
        if (parsed.Count < 1 || (parsed.Variant && *parsed.Variant < 1)) __builtin_trap();
    } catch (const zelk::cli::TUsageError&) {
    }
    return 0;
}
