#include "kb/PackageIndex.h"

#include <cstring>

#include "kb/SourceFiles.h"
#include "platform/Digest.h"
#include "platform/FileContent.h"

namespace {
constexpr std::size_t kMaxFileBytes = 256u << 20;

// A file read whole through the source files.
class CTextFile : public IReadableFile {
public:
    explicit CTextFile(std::string text) : m_text(std::move(text)) {}
    std::uint64_t Size() const override { return m_text.size(); }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        if (offset > m_text.size() || size > m_text.size() - offset) return false;
        std::memcpy(buffer, m_text.data() + offset, size);
        return true;
    }

private:
    std::string m_text;
};
}  // namespace

// The server reads only through its source files, so that what it opens
// can be checked.
class CPackageIndex::Content : public IFileContent {
public:
    explicit Content(ISourceFiles& files) : m_files(files) {}
    std::unique_ptr<IReadableFile> OpenFile(const std::string& path) override {
        std::string text;
        if (!m_files.Read(path, kMaxFileBytes, text)) return nullptr;
        return std::make_unique<CTextFile>(std::move(text));
    }

private:
    ISourceFiles& m_files;
};

// The server never checks a file's content: the client tells whether it is
// intact.
class CPackageIndex::NoDigests : public IDigestFactory {
public:
    std::unique_ptr<IDigest> NewMd5() override { return nullptr; }
};

CPackageIndex::CPackageIndex() = default;
CPackageIndex::~CPackageIndex() = default;

std::vector<std::string> CPackageIndex::Sources(const std::string& adminDir) {
    return {adminDir + "/status", adminDir + "/info"};
}

void CPackageIndex::Build(ISourceFiles& files, const std::string& adminDir) {
    m_content = std::make_unique<Content>(files);
    m_digests = std::make_unique<NoDigests>();
    m_database = std::make_unique<CDpkgDatabase>(*m_content, *m_digests, DpkgDatabasePaths{adminDir, ""});
    m_database->BuildIndex();
}

const KbPackage* CPackageIndex::FindOwner(const std::string& path) const {
    return m_database ? m_database->FindOwner(path) : nullptr;
}
