// Which program a record stands for: a new process under a known id, a
// process that started another program, files replaced or never there, and
// processes that ended between two snapshots.
#include <gtest/gtest.h>

#include <iterator>

#include "monitor/Processes.h"
#include "platform/FileTime.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeExitSource.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeNetworkSource.h"
#include "tests/fakes/FakeProcessSource.h"

namespace {
constexpr std::uint64_t kMs = 10000;  // 100-ns units
constexpr std::uint64_t kSecond = 1000 * kMs;

struct Identity : ::testing::Test {
    CFakeClock clock{5000};
    CFakeProcessSource source;
    CFakeFileSystem files;
    CFakeExitSource exits;
    CFakeNetworkSource network;
    CProcesses table{{clock, source, files, nullptr, &network, &exits}};

    void Tick() {
        clock.Advance();
        table.TakeSnapshot();
    }
    CFakeProcessSource::Proc& Add(std::uint32_t pid, std::string path, std::string name,
                                  std::int64_t started = 100) {
        auto& p = source.Add(pid, std::move(path));
        p.times->creation = TimeToFileTime(started);
        p.times->extras.name = std::move(name);
        return p;
    }
    const CProcess* Named(const std::string& text) {
        for (int i = 0; i < table.GetSize(); ++i)
            if (table[i].ProgramText() == text) return &table[i];
        return nullptr;
    }
};

TEST_F(Identity, ReusedIdIsANewRecordAndTheOldOneEnds) {
    Add(95, "/a/old", "old");
    table.TakeSnapshot();
    const std::int64_t first = clock.Now();
    Add(95, "/a/new", "new", 200);  // another process under the same id
    source.AddCpu(95, 900 * kMs);
    Tick();
    ASSERT_NE(table.FindByPid(95), nullptr);
    EXPECT_EQ(table.FindByPid(95)->m_strFileName, "new");
    EXPECT_EQ(table.FindByPid(95)->m_tLastProcessor, 0) << "its counters are not compared with the old one's";
    const CProcess* old = Named("old");
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->m_dwPid, 0u);
    EXPECT_EQ(old->m_tLastSeen, first);
}

TEST_F(Identity, AnotherProgramInTheSameProcessIsLookedUpAgain) {
    struct Case {
        const char* label;
        std::string nameBefore, nameAfter;
        std::uint64_t stampBefore, stampAfter;
        bool lookedUpAgain;
    };
    const Case cases[] = {
        {"kernel name changed", "dash", "spinner", 0, 0, true},
        {"image changed under the same name", "python3", "python3", 7, 9, true},
        {"nothing changed", "dash", "dash", 7, 7, false},
        {"stamp became readable", "dash", "dash", 0, 9, false},
        {"name became readable", "", "dash", 0, 0, false},
        {"name became unreadable", "dash", "", 0, 0, false},
        {"stamp became unreadable", "dash", "dash", 9, 0, false},
    };
    for (std::uint32_t i = 0; i < std::size(cases); ++i) {
        auto& p = Add(300 + i, "/bin/before", cases[i].nameBefore);
        p.times->extras.imageStamp = cases[i].stampBefore;
    }
    table.TakeSnapshot();
    for (std::uint32_t i = 0; i < std::size(cases); ++i) {
        CProcess* r = table.FindByPid(300 + i);
        r->m_bDetailsLoaded = r->m_bHtmlComposed = true;
        r->m_strHtml = "page";
        auto& p = source.procs.at(300 + i);
        p.modulePath = "/opt/after";
        p.times->extras.name = cases[i].nameAfter;
        p.times->extras.imageStamp = cases[i].stampAfter;
        p.times->user += 300 * kMs;
    }
    Tick();
    for (std::uint32_t i = 0; i < std::size(cases); ++i) {
        const CProcess* r = table.FindByPid(300 + i);
        ASSERT_NE(r, nullptr) << cases[i].label;
        EXPECT_EQ(r->m_strPath, cases[i].lookedUpAgain ? "/opt/after" : "/bin/before") << cases[i].label;
        EXPECT_EQ(r->m_bDetailsLoaded, !cases[i].lookedUpAgain) << cases[i].label;
        EXPECT_EQ(r->m_strHtml.empty(), cases[i].lookedUpAgain) << cases[i].label;
        EXPECT_EQ(r->m_tLastProcessor, clock.Now()) << cases[i].label << ": the same process, still measured";
    }
}

TEST_F(Identity, ReplacedAndMemoryBackedProgramFiles) {
    struct Case {
        std::string module, kernelName;
        std::string fileName, path;
        bool replaced, noFile;
    };
    const Case cases[] = {
        {"/usr/bin/editor (deleted)", "editor", "editor", "/usr/bin/editor", true, false},
        {"/memfd:sealed-91173221a7ea (deleted)", "runner", "runner", "", false, true},
        {"/memfd:x (deleted)", "", "memfd:x", "", false, true},
        {"/usr/bin/a (deleted) b", "a", "a (deleted) b", "/usr/bin/a (deleted) b", false, false},
    };
    for (std::uint32_t i = 0; i < std::size(cases); ++i) Add(400 + i, cases[i].module, cases[i].kernelName);
    table.TakeSnapshot();
    for (std::uint32_t i = 0; i < std::size(cases); ++i) {
        const CProcess* r = table.FindByPid(400 + i);
        EXPECT_EQ(r->m_strFileName, cases[i].fileName) << cases[i].module;
        EXPECT_EQ(r->m_strPath, cases[i].path) << cases[i].module;
        EXPECT_EQ(r->m_bFileReplaced, cases[i].replaced) << cases[i].module;
        EXPECT_EQ(r->m_bNoFile, cases[i].noFile) << cases[i].module;
    }
}

// With the source's own instant a birth counts from zero exactly when it is
// at or after the previous snapshot, whatever the second.
TEST_F(Identity, BirthsComparedAtTheSourcesResolution) {
    const std::uint64_t previous = TimeToFileTime(clock.Now()) + 999 * kMs;  // late in its second
    source.enumerationTime = previous;
    table.TakeSnapshot();
    struct Case {
        std::int64_t creation;  // relative to the previous enumeration
        bool counts;
    } const cases[] = {{-1, false}, {0, true}, {1, true}, {static_cast<std::int64_t>(kMs), true}};
    for (std::uint32_t i = 0; i < std::size(cases); ++i) {
        auto& p = source.Add(500 + i, "/a/p");
        p.times->creation = static_cast<std::uint64_t>(static_cast<std::int64_t>(previous) + cases[i].creation);
        p.times->user = 150 * kMs;
    }
    source.enumerationTime = previous + 20 * kMs;  // the next tick, in the same clock second
    table.TakeSnapshot();
    for (std::uint32_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(table.FindByPid(500 + i)->m_tLastProcessor != 0, cases[i].counts) << cases[i].creation;
}

TEST_F(Identity, AmountsPerSecondOfTheLastInterval) {
    Add(600, "/a/busy", "busy");
    table.TakeSnapshot();
    network.Put(1, 600, 0);
    source.enumerationTime = 1;
    table.TakeSnapshot();
    source.enumerationTime = 1 + 2 * kSecond;  // two seconds later
    source.AddCpu(600, 1500 * kMs, 500 * kMs);
    source.AddIo(600, 4000, 2000);
    network.Put(1, 600, 10000, 6000);
    clock.Advance(2);
    table.TakeSnapshot();
    const CProcess* r = table.FindByPid(600);
    EXPECT_DOUBLE_EQ(r->m_dProcessorShare, 1.0);
    EXPECT_EQ(r->m_ullDiskReadRate, 2000u);
    EXPECT_EQ(r->m_ullDiskWriteRate, 1000u);
    EXPECT_EQ(r->m_ullNetReceiveRate, 3000u);
    EXPECT_EQ(r->m_ullNetSendRate, 2000u);
}

TEST_F(Identity, EndedProcessesCountForTheirProgram) {
    Add(700, "/bin/sh", "sh");
    Add(701, "/usr/bin/make", "make");
    table.TakeSnapshot();
    source.AddCpu(701, 10 * kMs);
    Tick();
    source.Remove(701);  // ended after its last sample, having done 200 ms more
    for (std::uint32_t pid = 800; pid < 803; ++pid)
        exits.queued.push_back({pid, 700, "grep", 5000, 20 * kMs, 20 * kMs, 0, 0});
    exits.queued.push_back({810, 700, "true", 5000, 0, 1 * kMs, 0, 0});
    exits.queued.push_back({811, 700, "cp", 5000, 0, 0, 0, 8192});
    exits.queued.push_back({700, 1, "sh", 100, 5 * kSecond, 0, 0, 0});  // a thread of a live process
    exits.queued.push_back({701, 700, "make", 100, 210 * kMs, 0, 0, 0});
    Tick();
    const CProcess* grep = Named("grep (3 processes)");
    ASSERT_NE(grep, nullptr);
    EXPECT_EQ(grep->m_dwPid, 0u);
    EXPECT_EQ(grep->m_tLastProcessor, clock.Now());
    EXPECT_EQ(grep->m_tLastDisk, 0);
    ASSERT_NE(Named("cp"), nullptr);
    EXPECT_EQ(Named("cp")->m_tLastDisk, clock.Now());
    EXPECT_EQ(Named("true"), nullptr) << "idle ones make no record";
    EXPECT_EQ(table.FindByPid(700)->m_tLastProcessor, 0);
    const CProcess* make = Named("make");
    ASSERT_NE(make, nullptr);
    EXPECT_EQ(make->m_dwPid, 0u);
    EXPECT_EQ(make->m_tLastProcessor, clock.Now());
    EXPECT_EQ(table.GetSize(), 4);
    // The next second's greps join the same record, which says how many.
    exits.queued.push_back({820, 700, "grep", 5001, 150 * kMs, 0, 0, 0});
    Tick();
    EXPECT_EQ(Named("grep (3 processes)"), nullptr);
    ASSERT_NE(Named("grep"), nullptr);
    EXPECT_EQ(&table[0], Named("grep"));
    EXPECT_EQ(table.GetSize(), 4);
}

// A process still listed when its end is heard (a zombie its parent has not
// waited for yet) is counted at the next snapshot, once it is gone.
TEST_F(Identity, AnEndHeardWhileStillListedCountsOnceItIsGone) {
    Add(750, "/usr/bin/worker", "worker");
    table.TakeSnapshot();
    exits.queued.push_back({750, 1, "worker", 100, 400 * kMs, 0, 0, 0});
    Tick();
    EXPECT_EQ(table.FindByPid(750)->m_tLastProcessor, 0);
    source.Remove(750);
    Tick();
    const CProcess* worker = Named("worker");
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(worker->m_dwPid, 0u);
    EXPECT_EQ(worker->m_tLastProcessor, clock.Now());
}

TEST_F(Identity, WithoutExitAccountingTheParentCountsItsShortLivedChildren) {
    exits.listening = false;
    auto& shell = Add(900, "/bin/bash", "bash");
    shell.times->extras.childTime = 0;
    Add(901, "/usr/bin/long", "long").times->extras.parentPid = 900;
    table.TakeSnapshot();
    source.AddCpu(901, 2000 * kMs);
    Tick();
    // The long child ends and is waited for (its 2.0 s plus 0.05 s more);
    // its unseen siblings add 0.3 s.
    source.Remove(901);
    *shell.times->extras.childTime += 2050 * kMs + 300 * kMs;
    Tick();
    const CProcess* group = Named("bash (its short-lived programs)");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->m_tLastProcessor, clock.Now());
    EXPECT_EQ(table.FindByPid(900)->m_tLastProcessor, 0) << "the parent itself did nothing";
    // Only the known child's work: nothing left for the unseen ones.
    Add(902, "/usr/bin/long", "long").times->extras.parentPid = 900;
    Tick();
    source.AddCpu(902, 500 * kMs);
    Tick();
    source.Remove(902);
    *shell.times->extras.childTime += 550 * kMs;
    const std::int64_t before = group->m_tLastProcessor;
    Tick();
    EXPECT_EQ(Named("bash (its short-lived programs)")->m_tLastProcessor, before);
}
}  // namespace
