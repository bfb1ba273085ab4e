#pragma once
#include <string>

// A small machine under a temporary folder for the knowledge base to index:
// a dpkg database, desktop entries and manual pages, made anew per test.
class CFactTree {
public:
    CFactTree();
    CFactTree(const CFactTree&) = delete;
    CFactTree& operator=(const CFactTree&) = delete;
    ~CFactTree();

    const std::string& Root() const { return m_root; }
    void Write(const std::string& relative, const std::string& text);
    void WriteGzip(const std::string& relative, const std::string& text);
    // Moves the modification time of a file or folder one minute ahead.
    void Touch(const std::string& relative);

private:
    std::string m_root;
};

// What every test tree starts with; a line a test looks for names its case.
extern const char kStatus[];
