#include "window/PageLoader.h"

#include "window/UiPoster.h"
#include "window/WindowServices.h"

PageKey KeyOf(const CProcess& record) { return {record.m_dwPid, record.m_ftCreation, record.m_strPath}; }

CPageLoader::CPageLoader(IUiPoster& poster, PageSources sources, Listener onLoaded)
    : m_poster(poster),
      m_sources(sources),
      m_onLoaded(std::move(onLoaded)),
      m_alive(std::make_shared<CPageLoader*>(this)) {}

CPageLoader::~CPageLoader() {
    // A query waiting on a silent server would hold the workers' join.
    m_sources.knowledgeBase.Abort();
}

const ProgramPage* CPageLoader::Find(const PageKey& key) const {
    auto it = m_pages.find(key);
    return it == m_pages.end() ? nullptr : &it->second;
}

void CPageLoader::Load(const PageKey& key, const std::string& folder, const std::string& fileName) {
    if (IsLoading(key)) return;
    const ProgramPage* known = Find(key);
    Request request{key, folder, fileName, !known || !known->factsLoaded};
    const bool wantWindow = !known || known->mainWindow == 0;
    const bool wantPage = !known || !known->queried || !known->page.answered;
    if (!request.wantFacts && !wantWindow && !wantPage) return;
    m_inFlight.insert(key);
    if (!request.wantFacts && !wantWindow) {
        StartQuery(request, known->facts);
        return;
    }
    PageSources& sources = m_sources;
    m_factsWorker.Push([this, request, &sources] {
        ProgramFacts facts;
        std::string uninstaller;
        if (request.wantFacts) {
            facts = LoadProgramFacts(request.key.path, request.folder, sources.details);
            if (sources.findUninstaller && !request.key.path.empty())
                uninstaller = sources.findUninstaller(request.folder, sources.files);
        }
        const WindowId window = sources.windows.FindProcessWindow(request.key.pid);
        PostBack([request, facts, window, uninstaller](CPageLoader& self) mutable {
            self.OnFacts(request, std::move(facts), window, std::move(uninstaller));
        });
    });
}

void CPageLoader::OnFacts(const Request& request, ProgramFacts facts, WindowId window,
                          std::string uninstaller) {
    ProgramPage& page = m_pages[request.key];
    if (request.wantFacts) {
        page.factsLoaded = true;
        page.facts = std::move(facts);
        page.uninstaller = std::move(uninstaller);
    }
    if (window != 0) page.mainWindow = window;
    if (!page.queried || !page.page.answered)
        StartQuery(request, page.facts);
    else
        m_inFlight.erase(request.key);
    m_onLoaded(request.key);
}

void CPageLoader::StartQuery(const Request& request, const ProgramFacts& facts) {
    // A process without a path is asked nothing: its page stays empty.
    if (request.key.path.empty()) {
        OnPage(request.key, KnowledgeBasePage{{}, true});
        return;
    }
    PageQuery query{request.fileName, request.folder, request.key.creation, facts};
    CKnowledgeBase& knowledgeBase = m_sources.knowledgeBase;
    m_queryWorkers.Push([this, key = request.key, query = std::move(query), &knowledgeBase] {
        KnowledgeBasePage page = knowledgeBase.FetchPage(query);
        PostBack(
            [key, page = std::move(page)](CPageLoader& self) mutable { self.OnPage(key, std::move(page)); });
    });
}

void CPageLoader::OnPage(const PageKey& key, KnowledgeBasePage reply) {
    ProgramPage& page = m_pages[key];
    page.queried = true;
    page.page = std::move(reply);
    m_inFlight.erase(key);
    m_onLoaded(key);
}

void CPageLoader::PostBack(std::function<void(CPageLoader&)> task) {
    std::weak_ptr<CPageLoader*> alive = m_alive;
    m_poster.Post([alive, task = std::move(task)] {
        if (std::shared_ptr<CPageLoader*> self = alive.lock()) task(**self);
    });
}

void CPageLoader::Prune(const std::function<bool(const PageKey&)>& keep) {
    for (auto it = m_pages.begin(); it != m_pages.end();) {
        if (!IsLoading(it->first) && !keep(it->first))
            it = m_pages.erase(it);
        else
            ++it;
    }
}
