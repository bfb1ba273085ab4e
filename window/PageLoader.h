#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "details/Details.h"
#include "monitor/Process.h"
#include "online/KnowledgeBase.h"
#include "window/WorkQueue.h"

class IUiPoster;
class IWindowServices;

// One program as a selection saw it: a reused id or a replaced program
// file is another program.
struct PageKey {
    std::uint32_t pid = 0;
    std::uint64_t creation = 0;  // process start, FILETIME
    std::string path;
    auto operator<=>(const PageKey&) const = default;
};
PageKey KeyOf(const CProcess& record);

// All that is loaded about one program, as a value.
struct ProgramPage {
    bool factsLoaded = false;
    ProgramFacts facts;
    WindowId mainWindow = 0;  // 0: none found at the last look
    std::string uninstaller;
    bool queried = false;  // `page` holds a reply: the page or the no-data text
    KnowledgeBasePage page;
};

// Where the loads read from. All must outlive the loader. `details` is used
// by one worker at a time; the knowledge base and the window lookup from
// several.
struct PageSources {
    DetailsContext details;
    CKnowledgeBase& knowledgeBase;
    IWindowServices& windows;
    IFileSystem& files;
    UninstallerFinder findUninstaller = nullptr;
};

// Loads programs' facts and knowledge-base pages on worker threads and
// keeps them, by program, for the user-interface thread. Every call but the
// constructor's and destructor's comes on that thread, and so does every
// call of `onLoaded`, through the poster. At most one load per program is
// in flight; one worker reads facts, two ask the knowledge base, so a
// knowledge base that never answers holds two threads and no more.
class CPageLoader {
public:
    using Listener = std::function<void(const PageKey&)>;

    CPageLoader(IUiPoster& poster, PageSources sources, Listener onLoaded);
    // Cuts the requests in flight short and waits for the workers.
    ~CPageLoader();
    CPageLoader(const CPageLoader&) = delete;
    CPageLoader& operator=(const CPageLoader&) = delete;

    // What is known of the program so far; null if nothing yet.
    const ProgramPage* Find(const PageKey& key) const;
    bool IsLoading(const PageKey& key) const { return m_inFlight.count(key) != 0; }
    bool IsLoadingAny() const { return !m_inFlight.empty(); }

    // Starts loading what the program's page lacks: facts and window, then
    // the page, asked again after a no-data reply; the window is looked for
    // again while none was found. Nothing if a load of it is in flight or
    // nothing is missing. `onLoaded` follows each step.
    void Load(const PageKey& key, const std::string& folder, const std::string& fileName);

    // Drops the pages of programs `keep` says no to, unless in flight.
    void Prune(const std::function<bool(const PageKey&)>& keep);
    std::size_t CachedPages() const { return m_pages.size(); }

private:
    struct Request {
        PageKey key;
        std::string folder;
        std::string fileName;
        bool wantFacts = false;
    };
    void StartQuery(const Request& request, const ProgramFacts& facts);
    void OnFacts(const Request& request, ProgramFacts facts, WindowId window, std::string uninstaller);
    void OnPage(const PageKey& key, KnowledgeBasePage page);
    // Runs on the UI thread unless the loader is gone by then.
    void PostBack(std::function<void(CPageLoader&)> task);

    IUiPoster& m_poster;
    PageSources m_sources;
    Listener m_onLoaded;
    std::map<PageKey, ProgramPage> m_pages;
    std::set<PageKey> m_inFlight;
    // Posted tasks hold it weakly: once it is gone they do nothing.
    std::shared_ptr<CPageLoader*> m_alive;
    // Last, so that they stop first.
    CWorkQueue m_factsWorker{1};
    CWorkQueue m_queryWorkers{2};
};
