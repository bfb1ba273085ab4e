// Burns the processor in user space for the given seconds (default 60),
// then stays idle for the second argument's seconds (default none) before
// it ends, so that its activity can age while it lives.
#include <chrono>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60;
    const double idle = argc > 2 ? std::atof(argv[2]) : 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    volatile unsigned long sink = 0;
    while (std::chrono::steady_clock::now() < end)
        for (int i = 0; i < 100000; ++i) sink = sink + static_cast<unsigned long>(i);
    std::this_thread::sleep_for(std::chrono::duration<double>(idle));
    return 0;
}
