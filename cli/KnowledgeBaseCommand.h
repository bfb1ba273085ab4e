#pragma once
#include <cstdio>

class CKnowledgeBase;
class CProcess;

// Asks the knowledge base about the record's program (once per record, as
// the details panel does) and prints the request URL, a blank line and the
// page, or the no-data text. A record without a path makes no request.
// true if the page came from the knowledge base.
bool PrintKnowledgeBasePage(CProcess& process, CKnowledgeBase& knowledgeBase, std::FILE* out);
