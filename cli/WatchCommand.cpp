#include "cli/WatchCommand.h"

#include <chrono>
#include <thread>

#include "cli/ConsoleView.h"
#include "cli/WideView.h"
#include "monitor/MemoryReportList.h"
#include "monitor/Processes.h"
#include "platform/Clock.h"

int RunWatch(CProcesses& processes, long count, std::FILE* out, bool terminal, bool wide) {
    CMemoryReportList list(2);
    // The first snapshot only sets the baselines.
    processes.TakeSnapshot();
    auto next = std::chrono::steady_clock::now();
    for (long i = 0; count < 0 || i < count; ++i) {
        next += std::chrono::seconds(1);
        std::this_thread::sleep_until(next);
        processes.TakeSnapshot();
        processes.FillList(list);
        std::string text = wide ? RenderWide(processes, processes.Platform().clock.Now(), terminal)
                                : RenderList(list, terminal);
        if (terminal) std::fputs("\x1b[H\x1b[2J", out);
        std::fputs(text.c_str(), out);
        if (!terminal) std::fputs("\n", out);
        std::fflush(out);
    }
    return 0;
}
