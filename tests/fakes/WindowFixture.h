#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/Amounts.h"
#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "tests/fakes/FakeClock.h"
#include "tests/fakes/FakeFileContent.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakePackageMetadata.h"
#include "tests/fakes/FakeProcessSource.h"
#include "tests/fakes/FakeWindowServices.h"
#include "tests/fakes/PageServer.h"
#include "window/ControlIds.h"
#include "window/LoadwatchWindow.h"

// The system under a window, all fake, and the steps every view's tests
// take with it. A view's fixture derives from this, builds its window on
// Platform() and names the window and its list. Server is the knowledge
// base's HTTP client (the page server answers at once, a held one when the
// test releases a program); Packages may be a test's own subclass.
template <class Server = CPageServer, class Packages = CFakePackageMetadata>
class CWindowFixture {
public:
    virtual ~CWindowFixture() = default;
    virtual CLoadwatchWindow& Window() = 0;
    virtual IReportList& List() = 0;

    WindowPlatform Platform() { return Platform(knowledgeBase); }
    WindowPlatform Platform(CKnowledgeBase& otherKnowledgeBase) {
        return {processes, files, content, packages, 0x0409, otherKnowledgeBase, services};
    }

    // A new instance of an id starts at another time, as a reused id does.
    CFakeProcessSource::Proc& Add(std::uint32_t pid, const std::string& path = {}) {
        CFakeProcessSource::Proc& p = source.Add(pid, path);
        p.times->creation = 1000 + p.instance;
        return p;
    }
    // A second passes in which each of `busy` uses a fifth of a core.
    void Pass(const std::vector<std::uint32_t>& busy) {
        for (std::uint32_t pid : busy) source.AddCpu(pid, 2'000'000);
        clock.Advance();
    }
    // One refresh a second later.
    void Tick(const std::vector<std::uint32_t>& busy = {}) {
        Pass(busy);
        RefreshTimer();
    }
    // No load is in flight: what the panel shows is final.
    bool Settled() { return !Window().Pages().IsLoadingAny(); }
    int RowOf(std::uint32_t pid) {
        for (int row = 0; row < List().GetItemCount(); ++row)
            if (List().GetItemData(row) == pid) return row;
        return -1;
    }
    // What the panel starts with for pid: its amounts as the table has them now.
    std::string AmountsHtml(std::uint32_t pid) {
        const CProcess* r = processes.FindByPid(pid);
        return r ? ComposeAmountsHtml(*r) : std::string();
    }

    CFakeClock clock;
    CFakeProcessSource source;
    CFakeFileSystem files;
    CFakeFileContent content;
    Packages packages;
    Server server;
    CKnowledgeBase knowledgeBase{server, files, "http://kb.test/index.php?"};
    CProcesses processes{{clock, source, files}};
    CFakeWindowServices services;

protected:
    // How the refresh timer reaches the window; a view may route it through its own messages.
    virtual void RefreshTimer() { Window().OnTimer(kRefreshTimer); }
};
