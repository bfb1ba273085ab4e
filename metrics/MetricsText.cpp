#include "metrics/MetricsText.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "res/Utf8.h"

namespace {
// Lower-case copy, for media types and parameter names.
std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Weight of one media range ("type/sub;q=0.5"), 1 when not given; a
// malformed weight counts as 0, as if the range were absent.
double Weight(std::string_view range) {
    std::size_t at = 0;
    while ((at = range.find(';', at)) != std::string_view::npos) {
        ++at;
        std::string_view param = Trim(range.substr(at, range.find(';', at) - at));
        if (param.size() >= 2 && (param[0] == 'q' || param[0] == 'Q') && param[1] == '=') {
            std::string_view v = param.substr(2);
            if (v.empty() || v.size() > 5 || (v[0] != '0' && v[0] != '1')) return 0;
            double q = v[0] - '0', scale = 0.1;
            for (std::size_t i = 1; i < v.size(); ++i) {
                if (i == 1) {
                    if (v[i] != '.') return 0;
                    continue;
                }
                if (v[i] < '0' || v[i] > '9') return 0;
                q += (v[i] - '0') * scale;
                scale /= 10;
            }
            return q > 1 ? 0 : q;
        }
    }
    return 1;
}

void AppendEscaped(std::string& out, std::string_view value) {
    for (std::size_t i = 0; i < value.size();) {
        const char c = value[i];
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else {
            std::size_t n = Utf8Length(value, i);
            if (n == 0) {
                out += "\xEF\xBF\xBD";
                ++i;
                continue;
            }
            out.append(value.substr(i, n));
            i += n;
            continue;
        }
        ++i;
    }
}

// Processor time in 100-ns units as exact decimal seconds.
void AppendSeconds(std::string& out, std::uint64_t units) {
    out += std::to_string(units / 10'000'000);
    std::string fraction = std::to_string(units % 10'000'000);
    out += '.';
    out.append(7 - fraction.size(), '0');
    out += fraction;
}

struct Family {
    const char* name;  // without _total
    const char* type;
    const char* unit;  // OpenMetrics UNIT, or empty
    const char* help;
};

class Page {
public:
    Page(MetricsFormat format, std::size_t programs) : m_om(format == MetricsFormat::kOpenMetrics) {
        m_out.reserve(1024 + programs * 1400);
    }

    void Header(const Family& f) {
        const std::string_view type(f.type);
        if (m_om) {
            m_out.append("# TYPE ").append(f.name).append(" ").append(f.type).append("\n");
            if (*f.unit) m_out.append("# UNIT ").append(f.name).append(" ").append(f.unit).append("\n");
            m_out.append("# HELP ").append(f.name).append(" ").append(f.help).append("\n");
        } else {
            // Text 0.0.4 names the samples, and has no info type: an info
            // metric is a gauge of 1.
            std::string name = std::string(f.name) + (type == "counter" ? "_total"
                                                      : type == "info"  ? "_info"
                                                                        : "");
            m_out.append("# HELP ").append(name).append(" ").append(f.help).append("\n");
            m_out.append("# TYPE ")
                .append(name)
                .append(" ")
                .append(type == "info" ? "gauge" : f.type)
                .append("\n");
        }
    }

    // Starts a sample line: name, the program's labels, and `extra` labels
    // already escaped.
    std::string& Sample(std::string_view name, const ProgramMetrics& p, std::string_view extra = {}) {
        m_out.append(name).append("{program=\"");
        AppendEscaped(m_out, p.name);
        m_out.append("\",path=\"");
        AppendEscaped(m_out, p.path);
        m_out.append("\"").append(extra).append("} ");
        return m_out;
    }

    std::string Finish() {
        if (m_om) m_out += "# EOF\n";
        return std::move(m_out);
    }

    std::string& Out() { return m_out; }

private:
    bool m_om;
    std::string m_out;
};

// The families, in the order of the page.
enum FamilyIndex { kCpu, kRead, kWritten, kReceived, kSent, kProcesses, kListed, kBuild };
constexpr Family kFamilies[] = {
    {"loadwatch_program_cpu_seconds", "counter", "seconds",
     "Processor time (user and system) the program's processes used while watched."},
    {"loadwatch_program_disk_read_bytes", "counter", "bytes",
     "Bytes the program's processes made the storage layer read while watched."},
    {"loadwatch_program_disk_written_bytes", "counter", "bytes",
     "Bytes the program's processes made the storage layer write while watched."},
    {"loadwatch_program_network_received_bytes", "counter", "bytes",
     "Bytes the program's TCP sockets received."},
    {"loadwatch_program_network_sent_bytes", "counter", "bytes",
     "Bytes the program's TCP sockets sent that the peer acknowledged."},
    {"loadwatch_program_processes", "gauge", "", "Processes running the program at the last sample."},
    {"loadwatch_program_listed", "gauge", "",
     "1 while the program is listed as busy with this kind of activity (active in the last 20 s)."},
    {"loadwatch_build", "info", "", "The version of loadwatch serving these metrics."},
};
}  // namespace

MetricsFormat ChooseMetricsFormat(std::string_view accept) {
    double om = 0, text = 0;
    std::size_t at = 0;
    while (at <= accept.size()) {
        std::size_t end = accept.find(',', at);
        if (end == std::string_view::npos) end = accept.size();
        std::string_view range = Trim(accept.substr(at, end - at));
        const std::string type = Lower(Trim(range.substr(0, range.find(';'))));
        const double q = Weight(range);
        if (type == "application/openmetrics-text")
            om = std::max(om, q);
        else if (type == "text/plain" || type == "text/*" || type == "*/*")
            text = std::max(text, q);
        at = end + 1;
    }
    return om > 0 && om >= text ? MetricsFormat::kOpenMetrics : MetricsFormat::kPrometheus;
}

const char* MetricsContentType(MetricsFormat format) {
    return format == MetricsFormat::kOpenMetrics
               ? "application/openmetrics-text; version=1.0.0; charset=utf-8"
               : "text/plain; version=0.0.4; charset=utf-8";
}

std::string EscapeLabelValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    AppendEscaped(out, value);
    return out;
}

std::string RenderMetrics(const std::map<std::string, ProgramMetrics>& programs, MetricsFormat format,
                          std::string_view version) {
    std::vector<const ProgramMetrics*> shown;
    for (const auto& [path, p] : programs)
        if (p.busyOnce) shown.push_back(&p);
    Page page(format, shown.size());

    auto counters = [&](FamilyIndex family, auto value) {
        const Family& f = kFamilies[family];
        page.Header(f);
        const std::string name = std::string(f.name) + "_total";
        for (const ProgramMetrics* p : shown) {
            value(page.Sample(name, *p), *p);
            page.Out() += '\n';
        }
    };
    counters(kCpu, [](std::string& out, const ProgramMetrics& p) { AppendSeconds(out, p.cpuTime); });
    counters(kRead, [](std::string& out, const ProgramMetrics& p) { out += std::to_string(p.readBytes); });
    counters(kWritten,
             [](std::string& out, const ProgramMetrics& p) { out += std::to_string(p.writtenBytes); });
    counters(kReceived,
             [](std::string& out, const ProgramMetrics& p) { out += std::to_string(p.receivedBytes); });
    counters(kSent, [](std::string& out, const ProgramMetrics& p) { out += std::to_string(p.sentBytes); });

    page.Header(kFamilies[kProcesses]);
    for (const ProgramMetrics* p : shown)
        page.Sample(kFamilies[kProcesses].name, *p).append(std::to_string(p->processes)) += '\n';
    page.Header(kFamilies[kListed]);
    for (const ProgramMetrics* p : shown) {
        const std::pair<const char*, bool> kinds[] = {{",kind=\"processor\"", p->listedProcessor},
                                                      {",kind=\"disk\"", p->listedDisk},
                                                      {",kind=\"network\"", p->listedNetwork}};
        for (const auto& [label, on] : kinds)
            page.Sample(kFamilies[kListed].name, *p, label).append(on ? "1\n" : "0\n");
    }
    page.Header(kFamilies[kBuild]);
    page.Out().append("loadwatch_build_info{version=\"").append(EscapeLabelValue(version)).append("\"} 1\n");
    return page.Finish();
}
