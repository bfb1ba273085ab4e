// Burns the processor in user space for the given seconds (default 60).
#include <chrono>
#include <cstdlib>

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    volatile unsigned long sink = 0;
    while (std::chrono::steady_clock::now() < end)
        for (int i = 0; i < 100000; ++i) sink = sink + static_cast<unsigned long>(i);
    return 0;
}
