// Cost of loading a program's details: a large packaged file (dominated by
// its checksum) and building the path-to-package index of this machine.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "details/Details.h"
#include "monitor/Processes.h"
#include "platform/Clock.h"
#include "platform/ProcessSource.h"
#include "platform/linux/DpkgDatabase.h"
#include "platform/linux/OpensslDigests.h"
#include "platform/linux/PosixFileContent.h"
#include "platform/linux/PosixFileSystem.h"

namespace {

namespace fs = std::filesystem;

class CNoProcesses : public IProcessSource {
public:
    bool EnumerateProcesses(std::vector<std::uint32_t>& pids) override {
        pids.clear();
        return true;
    }
    std::uint32_t CurrentProcessId() override { return 1; }
    bool GetModulePath(std::uint32_t, std::string&) override { return false; }
    std::unique_ptr<IProcessQuery> OpenQuery(std::uint32_t) override { return nullptr; }
    int LastError() const override { return 0; }
};

class CFixedClock : public IClock {
public:
    std::int64_t Now() override { return 1'000'000; }
};

// A 100 MiB program file owned by a package of a database built for it.
struct LargePackagedFile {
    fs::path dir;
    std::string program;
    static constexpr std::size_t kSize = std::size_t{100} << 20;

    LargePackagedFile() {
        std::string pattern = (fs::temp_directory_path() / "loadwatch-bench-XXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        program = (dir / "usr/bin/large").string();
        fs::create_directories(dir / "usr/bin");
        fs::create_directories(dir / "dpkg/info");
        fs::create_directories(dir / "doc/large");
        std::vector<char> chunk(std::size_t{1} << 20);
        COpensslDigests digests;
        auto md5 = digests.NewMd5();
        std::ofstream out(program, std::ios::binary);
        std::uint32_t x = 12345;
        for (std::size_t done = 0; done < kSize; done += chunk.size()) {
            for (char& c : chunk) {
                x = x * 1103515245u + 12345u;
                c = static_cast<char>(x >> 24);
            }
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            md5->Update(chunk.data(), chunk.size());
        }
        out.close();
        std::ofstream(dir / "dpkg/status")
            << "Package: large\nStatus: install ok installed\nVersion: 1.0-1\n"
               "Maintainer: Bench <b@example.org>\nDescription: large program\n\n";
        std::ofstream(dir / "dpkg/info/large.list") << "/.\n/usr\n" << program << "\n";
        std::ofstream(dir / "dpkg/info/large.md5sums")
            << md5->FinishHex() << "  " << program.substr(1) << "\n";
        std::ofstream(dir / "doc/large/copyright") << "Copyright: 2024 Bench\n";
    }
    ~LargePackagedFile() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

void BM_LoadDetailsLargePackagedFile(benchmark::State& state) {
    LargePackagedFile file;
    CFixedClock clock;
    CNoProcesses source;
    CPosixFileSystem files;
    CPosixFileContent content;
    COpensslDigests digests;
    CDpkgDatabase packages(content, digests, {(file.dir / "dpkg").string(), (file.dir / "doc").string()});
    packages.BuildIndex();
    CProcesses table({clock, source, files});
    DetailsContext context{files, content, packages, 0x0409};
    std::uint32_t pid = 1;
    bool allSigned = true;
    for (auto _ : state) {
        CProcess* record = table.FindOrAdd(++pid);
        record->SetPath(file.program, files);
        LoadDetails(*record, context);
        allSigned = allSigned && table.FindByPid(pid)->m_bSigned;
    }
    if (!allSigned) state.SkipWithError("the file did not verify");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * LargePackagedFile::kSize));
}
BENCHMARK(BM_LoadDetailsLargePackagedFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BuildPackageIndexOfThisMachine(benchmark::State& state) {
    CPosixFileContent content;
    COpensslDigests digests;
    std::size_t paths = 0, packages = 0;
    for (auto _ : state) {
        CDpkgDatabase db(content, digests);
        db.BuildIndex();
        paths = db.IndexedPaths();
        packages = db.InstalledPackages();
        benchmark::DoNotOptimize(paths);
    }
    state.counters["paths"] = static_cast<double>(paths);
    state.counters["packages"] = static_cast<double>(packages);
    state.counters["ns_per_path"] =
        benchmark::Counter(static_cast<double>(paths) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildPackageIndexOfThisMachine)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
