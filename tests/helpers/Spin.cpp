// Burns the processor in user space for the given seconds (default 60),
// then stays idle for the second argument's seconds (default none) before
// it ends, so that its activity can age while it lives. With LW_SPIN_CPU set
// the seconds are its own processor time, not the wall clock's, so that a
// loaded machine stretches the run instead of shrinking the work.
#include <chrono>
#include <ctime>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60;
    const double idle = argc > 2 ? std::atof(argv[2]) : 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    const bool processorTime = std::getenv("LW_SPIN_CPU") != nullptr;
    const std::clock_t budget = static_cast<std::clock_t>(seconds * CLOCKS_PER_SEC);
    volatile unsigned long sink = 0;
    while (processorTime ? std::clock() < budget : std::chrono::steady_clock::now() < end)
        for (int i = 0; i < 100000; ++i) sink = sink + static_cast<unsigned long>(i);
    std::this_thread::sleep_for(std::chrono::duration<double>(idle));
    return 0;
}
