// Where the program beeps: a window program rings the desktop's bell; only the
// console route (no window layer) writes the terminal's BEL to stderr.
#include "services/MessageBox.h"
#include "qt/QtMessageSink.h"
#include "support/TestFiles.h"

#include <QtTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

// What a call wrote to the process's stderr.
template <typename Fn>
std::string StderrOf(Fn fn)
{
    TempDir dir;
    const std::string path = dir / "stderr";
    std::fflush(stderr);
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int saved = ::dup(2);
    ::dup2(file, 2);
    ::close(file);
    fn();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    return ReadFile(path);
}

} // namespace

class BeepTest : public QObject {
    Q_OBJECT
private slots:
    void windowProgramRingsTheBellNotTheTerminal()
    {
        QtMessageSink window;
        const std::pair<const char*, MessageSink*> cases[] = {
            {"Qt sink", &window},
            {"console sink", nullptr},
        };
        for (const auto& [name, sink] : cases) {
            SetMessageSink(sink);
            const std::string written = StderrOf([] { Messages().Beep(); });
            SetMessageSink(nullptr);
            QCOMPARE(written, std::string(sink ? "" : "\a"));
        }
    }
};

QTEST_MAIN(BeepTest)
#include "BeepTest.moc"
