#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

class CKnowledgeBase;
class CProcess;
class CProcesses;
class IFileSystem;
class IHttpClient;
struct DetailsContext;

// The page as text for a terminal: each of its lines through Printable, so
// that no control character the server sent (ESC, BEL, C1...) arrives raw.
void PrintPageText(const std::string& page, std::FILE* out);

// Asks the knowledge base about the record's program (once per record, as
// the details panel does) and prints the request URL, a blank line and the
// page, or the no-data text. A record without a path makes no request.
// true if the page came from the knowledge base.
bool PrintKnowledgeBasePage(CProcess& process, CKnowledgeBase& knowledgeBase, std::FILE* out);

// --details PID: the facts about the program (RunDetails), then a blank line
// and the knowledge base's page about it, asked at baseUrl through http.
// The exit code: 0, or RunDetails' error.
int RunDetailsWithPage(std::uint32_t pid, CProcesses& processes, DetailsContext& context, IHttpClient& http,
                       IFileSystem& files, const std::string& baseUrl, std::FILE* out, std::FILE* err);
