// Burns the processor in user space for the given seconds (default 60),
// then stays idle for the second argument's seconds (default none) before
// it ends, so that its activity can age while it lives. The third argument
// (default 1) is how many threads burn: on a machine whose processors other
// programs keep busy, one thread may get less than the tenth of a second
// each second that makes a program busy, several together do. With
// LW_SPIN_CPU set the seconds are its own processor time, not the wall
// clock's, so that a loaded machine stretches the run instead of shrinking
// the work.
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

namespace {
bool Done(std::chrono::steady_clock::time_point end, bool processorTime, std::clock_t budget) {
    return processorTime ? std::clock() >= budget : std::chrono::steady_clock::now() >= end;
}

void Burn(std::chrono::steady_clock::time_point end, bool processorTime, std::clock_t budget) {
    volatile unsigned long sink = 0;
    while (!Done(end, processorTime, budget))
        for (int i = 0; i < 100000; ++i) sink = sink + static_cast<unsigned long>(i);
}
}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60;
    const double idle = argc > 2 ? std::atof(argv[2]) : 0;
    const int threads = argc > 3 ? std::atoi(argv[3]) : 1;
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                         std::chrono::duration<double>(seconds));
    // The processor time of all threads together.
    const bool processorTime = std::getenv("LW_SPIN_CPU") != nullptr;
    const auto budget = static_cast<std::clock_t>(seconds * CLOCKS_PER_SEC);
    std::vector<std::thread> others;
    for (int i = 1; i < threads; ++i) others.emplace_back(Burn, end, processorTime, budget);
    Burn(end, processorTime, budget);
    for (auto& t : others) t.join();
    std::this_thread::sleep_for(std::chrono::duration<double>(idle));
    return 0;
}
