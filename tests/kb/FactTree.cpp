#include "tests/kb/FactTree.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

const char kStatus[] =
    "Package: bash\n"
    "Status: install ok installed\n"
    "Architecture: amd64\n"
    "Version: 5.2.15-2\n"
    "Homepage: http://tiswww.case.edu/php/chet/bash/bashtop.html\n"
    "Description: GNU Bourne Again SHell\n"
    " Bash is an sh-compatible command language interpreter.\n"
    " .\n"
    "   verbatim <line>\n"
    "\n"
    "Package: libfoo1\n"
    "Status: install ok installed\n"
    "Architecture: amd64\n"
    "Multi-Arch: same\n"
    "Version: 1.0\n"
    "Homepage: javascript:alert(1)\n"
    "Description: foo library <b>\n"
    "\n"
    "Package: gone\n"
    "Status: deinstall ok config-files\n"
    "Architecture: amd64\n"
    "Description: removed package\n";

CFactTree::CFactTree() {
    char pattern[] = "/tmp/kb-facts-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp");
    m_root = pattern;
    Write("var/lib/dpkg/status", kStatus);
    Write("var/lib/dpkg/info/bash.list", "/.\n/bin\n/bin/bash\n/usr/share/man/man1/bash.1.gz\n");
    Write("var/lib/dpkg/info/libfoo1:amd64.list", "/usr/lib/x86_64-linux-gnu/libfoo.so.1\n/usr/bin/foo\n");
    Write("var/lib/dpkg/info/gone.list", "/usr/bin/gone\n");
    Write("usr/share/applications/foo.desktop",
          "[Desktop Entry]\nType=Application\nName=Foo Viewer\nName[de]=Foo-Betrachter\n"
          "Comment=Looks at foo\nExec=env FOO=1 /usr/bin/foo %U\n\n[Desktop Action New]\nName=Other\n");
    Write("usr/share/applications/hidden.desktop",
          "[Desktop Entry]\nType=Application\nName=Hidden\nExec=gone\nHidden=true\n");
    WriteGzip("usr/share/man/man1/bash.1.gz",
              ".TH BASH 1\n.SH NAME\nbash \\- GNU Bourne-Again SHell\n.SH SYNOPSIS\n.B bash\n");
    Write("usr/share/man/man8/foo.8",
          ".Dd 2020\n.Dt FOO 8\n.Sh NAME\n.Nm foo ,\n.Nm foo2\n.Nd \\fBinspects\\fR foos\n.Sh SYNOPSIS\n");
    Write("usr/share/man/man1/link.1", ".so man1/bash.1\n");
}

CFactTree::~CFactTree() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

void CFactTree::Write(const std::string& relative, const std::string& text) {
    std::filesystem::path path = std::filesystem::path(m_root) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void CFactTree::WriteGzip(const std::string& relative, const std::string& text) {
    std::filesystem::path path = std::filesystem::path(m_root) / relative;
    std::filesystem::create_directories(path.parent_path());
    gzFile f = gzopen(path.c_str(), "wb");
    gzwrite(f, text.data(), static_cast<unsigned>(text.size()));
    gzclose(f);
}

void CFactTree::Touch(const std::string& relative) {
    std::filesystem::path path = std::filesystem::path(m_root) / relative;
    auto when = std::filesystem::last_write_time(path);
    std::filesystem::last_write_time(path, when + std::chrono::minutes(1));
}
