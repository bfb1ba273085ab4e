#include <gtest/gtest.h>

#include "metrics/MetricsText.h"

namespace {
TEST(MetricsText, LabelValuesAreEscapedAndValidUtf8) {
    struct Case {
        const char* name;
        std::string in, out;
    } const cases[] = {
        {"plain", "/usr/bin/make", "/usr/bin/make"},
        {"quote", "/opt/a \"b\"", "/opt/a \\\"b\\\""},
        {"backslash", "/opt/a\\b", "/opt/a\\\\b"},
        {"newline", "/opt/a\nb", "/opt/a\\nb"},
        {"valid multibyte kept",
         "/opt/Gr\xC3\xBC\xC3\x9F"
         "e/\xE2\x82\xAC",
         "/opt/Gr\xC3\xBC\xC3\x9F"
         "e/\xE2\x82\xAC"},
        {"stray byte replaced", "/opt/\xFF", "/opt/\xEF\xBF\xBD"},
        {"truncated sequence replaced", "/opt/\xC3", "/opt/\xEF\xBF\xBD"},
        {"overlong form replaced", "/\xC0\xAF", "/\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate replaced", "/\xED\xA0\x80", "/\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) EXPECT_EQ(EscapeLabelValue(c.in), c.out) << c.name;
}

TEST(MetricsText, OpenMetricsOnlyWhenPreferred) {
    struct Case {
        const char* accept;
        MetricsFormat want;
    } const cases[] = {
        {"", MetricsFormat::kPrometheus},
        {"*/*", MetricsFormat::kPrometheus},
        {"text/plain;version=0.0.4", MetricsFormat::kPrometheus},
        {"application/openmetrics-text;version=1.0.0", MetricsFormat::kOpenMetrics},
        // What Prometheus 2.x sends.
        {"application/openmetrics-text;version=1.0.0,application/openmetrics-text;version=0.0.1;q=0.75,"
         "text/plain;version=0.0.4;q=0.5,*/*;q=0.1",
         MetricsFormat::kOpenMetrics},
        {"Application/OpenMetrics-Text; q=0.2, text/plain", MetricsFormat::kPrometheus},
        {"application/openmetrics-text;q=0", MetricsFormat::kPrometheus},
        {"application/openmetrics-text;q=bogus,text/plain;q=0.1", MetricsFormat::kPrometheus},
        {"application/openmetrics-text;q=1.5,text/plain;q=0.1", MetricsFormat::kPrometheus},  // past 1
        {"text/plain;q=0.5,application/openmetrics-text;q=0.5", MetricsFormat::kOpenMetrics},  // a tie
    };
    for (const Case& c : cases) EXPECT_EQ(ChooseMetricsFormat(c.accept), c.want) << c.accept;
}

std::map<std::string, ProgramMetrics> TwoPrograms() {
    std::map<std::string, ProgramMetrics> programs;
    ProgramMetrics& a = programs["/opt/x\"y"];
    a.path = "/opt/x\"y";
    a.name = "x\"y";
    a.cpuTime = 12'345'678'9;  // 12.3456789 s
    a.writtenBytes = 4096;
    a.processes = 2;
    a.listedDisk = true;
    a.busyOnce = true;
    ProgramMetrics& quiet = programs["/bin/quiet"];
    quiet.path = "/bin/quiet";
    quiet.name = "quiet";
    return programs;
}

TEST(MetricsText, PagesInBothFormats) {
    const auto programs = TwoPrograms();
    const std::string labels = "{program=\"x\\\"y\",path=\"/opt/x\\\"y\"}";
    for (MetricsFormat format : {MetricsFormat::kPrometheus, MetricsFormat::kOpenMetrics}) {
        const bool om = format == MetricsFormat::kOpenMetrics;
        SCOPED_TRACE(om ? "OpenMetrics" : "text");
        const std::string page = RenderMetrics(programs, format, "1.13");
        EXPECT_NE(page.find("loadwatch_program_cpu_seconds_total" + labels + " 12.3456789\n"),
                  std::string::npos);
        EXPECT_NE(page.find("loadwatch_program_disk_written_bytes_total" + labels + " 4096\n"),
                  std::string::npos);
        EXPECT_NE(page.find("loadwatch_program_processes" + labels + " 2\n"), std::string::npos);
        EXPECT_NE(
            page.find("loadwatch_program_listed{program=\"x\\\"y\",path=\"/opt/x\\\"y\",kind=\"disk\"} 1\n"),
            std::string::npos);
        EXPECT_NE(page.find("loadwatch_build_info{version=\"1.13\"} 1\n"), std::string::npos);
        EXPECT_EQ(page.find("quiet"), std::string::npos) << "never busy: no series";
        if (om) {
            EXPECT_NE(page.find("# TYPE loadwatch_program_cpu_seconds counter\n"
                                "# UNIT loadwatch_program_cpu_seconds seconds\n"),
                      std::string::npos);
            EXPECT_NE(page.find("# TYPE loadwatch_build info\n"), std::string::npos);
            EXPECT_TRUE(page.ends_with("\n# EOF\n"));
        } else {
            EXPECT_NE(page.find("# TYPE loadwatch_program_cpu_seconds_total counter\n"), std::string::npos);
            EXPECT_NE(page.find("# TYPE loadwatch_build_info gauge\n"), std::string::npos);
            EXPECT_EQ(page.find("# EOF"), std::string::npos);
        }
    }
}
}  // namespace
