// Rendering costs: the report's values take microseconds, the binary128
// extremes (thousands of exact digits) a few milliseconds at most.
#include <benchmark/benchmark.h>

#include "evaluate_point.h"
#include "general_field.h"

namespace {

void report_rows(benchmark::State& state)
{
    for (auto _ : state) {
        float x = 1;
        for (int i = 1; i <= 7; ++i) {
            x *= 10;
            float f_single, g_single;
            binary128 f_quad;
            evaluate_point(x, f_single, f_quad, g_single);
            benchmark::DoNotOptimize(render_general_field(x, 8, 1) + render_general_field(f_single, 16, 7) +
                                     render_general_field(f_quad, 17, 8) + render_general_field(g_single, 16, 7));
        }
    }
}
BENCHMARK(report_rows);

void largest_binary128(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(render_general_field(binary128::from_bits(0x7FFEFFFFFFFFFFFF, ~0ull), 17, 8));
}
BENCHMARK(largest_binary128)->Unit(benchmark::kMillisecond);

void smallest_binary128(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(render_general_field(binary128::from_bits(0, 1), 17, 8));
}
BENCHMARK(smallest_binary128)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
