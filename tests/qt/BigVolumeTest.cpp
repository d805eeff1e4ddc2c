// The contents list under a memory limit: the largest name block a volume
// may have, listed in a forked child whose address space is bounded.
#include "GuiSupport.h"
#include "qt/NameListBox.h"
#include "support/ChildProcess.h"

#include <QAbstractItemView>
#include <QtTest>

#include <cstdint>

using namespace tarnwick;
using namespace tarnwick::test;

class BigVolumeTest : public QObject {
    Q_OBJECT
private:
    TempDir dir;
    static constexpr std::int64_t kBlock = 64 << 20; // 32 Mi one-letter names

private slots:
    void initTestCase() { WriteLetterNamesVolume(dir / "vols/letters.vol", kBlock); }

    void largestNameBlockIsListedWithinTheLimitOrRefusedWithAMessage_data()
    {
        QTest::addColumn<qint64>("growth");
        QTest::addColumn<bool>("listed");
        QTest::newRow("2 GiB: listed whole") << qint64(2) * 1024 * 1024 * 1024 << true;
        QTest::newRow("200 MiB: a message and an empty list") << qint64(200) * 1024 * 1024 << false;
    }
    void largestNameBlockIsListedWithinTheLimitOrRefusedWithAMessage()
    {
#ifdef _WIN32
        QSKIP("needs a forked child");
#else
        QFETCH(qint64, growth);
        QFETCH(bool, listed);
        const StartupOptions o = TestOptions(dir, "[Tarnwick]\nSplash=0\nExtract=" + ToolPath("extract") + "\nStart=" + dir / "vols" + "\n");
        const auto listIt = [&]() -> int {
            ScriptedSink sink;
            auto s = StartWindow(o);
            if (!s->loaded)
                return 2;
            frmMain& w = *s->window;
            w.show();
            s->form().filVolumes.Select(0);
            s->form().filVolumes_Click();
            w.lstData->viewport()->repaint();
            QApplication::processEvents();
            const QAbstractItemModel* m = w.lstData->model();
            const int rows = m->rowCount();
            if (listed) {
                if (rows != kBlock / 2 || !sink.shown.empty())
                    return 3;
                // Sorted: the 'a's first, the 'z's last.
                if (m->index(0, 0).data().toString() != QStringLiteral("a") ||
                    m->index(rows - 1, 0).data().toString() != QStringLiteral("z"))
                    return 4;
            } else if (rows != 0 || sink.shown.size() != 1) {
                return 5;
            }
            s.reset();
            return 0;
        };
        ChildLimits limits;
        limits.memoryBudget = growth;
        QCOMPARE(RunInChild(listIt, limits), 0);
#endif
    }
};

QTEST_MAIN(BigVolumeTest)
#include "BigVolumeTest.moc"
