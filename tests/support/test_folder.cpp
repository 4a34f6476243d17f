#include "support/test_folder.h"

namespace {

const TestFolder* g_current = nullptr;

}  // namespace

TestFolder::TestFolder() {
    const QByteArray given = qgetenv(variable());
    if (!given.isEmpty()) {
        m_path = QString::fromLocal8Bit(given);
    } else {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->path();
    }
    g_current = this;
}

const TestFolder* TestFolder::current() { return g_current; }

const char* TestFolder::variable() { return "LEXICARIUM_TEST_FOLDER"; }
