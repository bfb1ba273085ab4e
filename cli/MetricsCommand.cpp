#include "cli/MetricsCommand.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "cli/MetricsServer.h"
#include "metrics/MetricsCollector.h"
#include "metrics/MetricsText.h"
#include "monitor/Processes.h"
#include "platform/Clock.h"
#include "res/StringTable.h"

int RunMetrics(CProcesses& processes, MetricsOptions options, std::FILE* out, std::FILE* err) {
    CMetricsCollector collector(options.quietPeriod);
    std::mutex lock;  // the collector, between the sampler and the scrapes
    CMetricsServer server([&](const std::string& accept, std::string& contentType) {
        const MetricsFormat format = ChooseMetricsFormat(accept);
        contentType = MetricsContentType(format);
        std::lock_guard<std::mutex> guard(lock);
        return RenderMetrics(collector.Programs(), format, kVersion);
    });
    if (!server.Start(options.address)) {
        std::fprintf(err, "loadwatch-cli: cannot listen on %s\n",
                     FormatListenAddress(options.address).c_str());
        return 1;
    }
    std::fprintf(out, "Serving metrics on http://%s/metrics\n", FormatListenAddress(options.address).c_str());
    std::fflush(out);

    IClock& clock = processes.Platform().clock;
    auto sample = [&] {
        processes.TakeSnapshot();
        std::lock_guard<std::mutex> guard(lock);
        collector.Update(processes, clock.Now());
    };
    // The first snapshot only sets the baselines.
    sample();
    auto next = std::chrono::steady_clock::now();
    for (long i = 0; options.count < 0 || i < options.count; ++i) {
        next += std::chrono::seconds(1);
        std::this_thread::sleep_until(next);
        sample();
    }
    server.Stop();
    return 0;
}
