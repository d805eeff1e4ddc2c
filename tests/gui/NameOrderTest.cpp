// The order of the contents list on tables of names built to stress the
// sort: long shared starts, names that are another's start, case twins,
// bytes above 0x7F, many equal names, and enough names per group that the
// sort takes its radix passes rather than only comparisons. Each result is
// checked against a plain stable sort of the folded names.
#include "mainwindow/NameOrder.h"

#include <QtTest>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace tarnwick;

namespace {

std::string Folded(const std::string& s)
{
    std::string f = s;
    for (auto& c : f)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return f;
}

// The starts of the non-empty pieces of `table`, sorted by their folded
// bytes compared as unsigned, equal ones in stored order.
std::vector<std::uint32_t> Expected(const std::string& table)
{
    struct Piece {
        std::string key;
        std::uint32_t start;
    };
    std::vector<Piece> pieces;
    std::size_t at = 0;
    while (at < table.size()) {
        std::size_t end = table.find('/', at);
        if (end == std::string::npos)
            end = table.size();
        if (end > at)
            pieces.push_back({Folded(table.substr(at, end - at)), static_cast<std::uint32_t>(at)});
        at = end + 1;
    }
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
        return std::lexicographical_compare(a.key.begin(), a.key.end(), b.key.begin(), b.key.end(),
                                            [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
    });
    std::vector<std::uint32_t> starts;
    for (const Piece& p : pieces)
        starts.push_back(p.start);
    return starts;
}

// A small pseudo-random source, the same on every run.
struct Random {
    std::uint32_t x;
    std::uint32_t Next()
    {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    }
};

std::string Table(const std::vector<std::string>& names)
{
    std::string t;
    for (const auto& n : names)
        t += n + "/";
    return t;
}

} // namespace

class NameOrderTest : public QObject {
    Q_OBJECT
private slots:
    void SortsLikeAStableSortOfFoldedNames_data()
    {
        QTest::addColumn<QByteArray>("table");
        auto add = [](const char* what, const std::vector<std::string>& names) {
            const std::string t = Table(names);
            QTest::newRow(what) << QByteArray(t.data(), static_cast<qsizetype>(t.size()));
        };
        Random r{2463534242u};
        std::vector<std::string> v;

        add("a few", {"b.cs", "A.cs", "a.CS", "", "ab", "a", "B.cs"});
        add("empty pieces only", {"", "", ""});

        v.clear();
        for (int i = 0; i < 3000; ++i)
            v.push_back("scripts\\part" + std::to_string(r.Next() % 40) + "\\file" + std::to_string(r.Next() % 5000) + ".cs");
        add("folders and files with twins", v);

        v.clear();
        for (int i = 0; i < 2000; ++i) {
            std::string n = "scripts\\shared\\start\\of\\many\\names\\";
            const std::uint32_t k = r.Next() % 300;
            n += std::string(k % 7, 'x') + std::to_string(k);
            if (r.Next() % 2)
                n = Folded(n);
            else
                for (auto& c : n)
                    c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
            v.push_back(n);
        }
        add("long shared start, case twins, prefixes", v);

        v.clear();
        for (int i = 0; i < 1500; ++i) {
            std::string n;
            const int len = 1 + static_cast<int>(r.Next() % 20);
            for (int k = 0; k < len; ++k) {
                char c;
                do
                    c = static_cast<char>(r.Next() % 256);
                while (c == '/' || c == '\0');
                n += c;
            }
            v.push_back(n);
        }
        add("any bytes", v);

        v.assign(700, "Same\\Name.cs");
        for (int i = 0; i < 700; i += 3)
            v[static_cast<std::size_t>(i)] = "same\\name.CS";
        add("many equal names", v);

        v.clear();
        for (int i = 0; i < 1200; ++i)
            v.push_back(std::string(static_cast<std::size_t>(1 + r.Next() % 40), static_cast<char>('a' + r.Next() % 2)));
        add("runs of two letters", v);
    }
    void SortsLikeAStableSortOfFoldedNames()
    {
        QFETCH(QByteArray, table);
        const std::string t(table.constData(), static_cast<std::size_t>(table.size()));
        const std::vector<std::uint32_t> got = SortedNameStarts(t);
        const std::vector<std::uint32_t> want = Expected(t);
        QCOMPARE(got.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i)
            if (got[i] != want[i])
                QFAIL(qPrintable(QStringLiteral("row %1 differs: start %2, expected %3")
                                     .arg(i)
                                     .arg(got[i])
                                     .arg(want[i])));
    }
};

QTEST_MAIN(NameOrderTest)
#include "NameOrderTest.moc"
