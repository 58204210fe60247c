// Module-for-module comparison with segno at the capacity boundary of every version, level,
// mode and mask, and of the automatic version choice on both sides of each boundary.

#include <QProcess>
#include <gtest/gtest.h>
#include <random>

#include "codes/QRCode.h"

namespace kestrel {
namespace {

constexpr char kLevels[] = {'L', 'M', 'Q', 'H'};
constexpr char kModes[] = {'0', 'A', '8'};
constexpr int kScriptProcesses = 2;
constexpr int kMaxReportedMismatches = 10;

QByteArray RandomData(char mode, int count, std::mt19937& random)
{
    static const QByteArray alphanumeric = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
    QByteArray data(count, '\0');
    for (char& c : data) {
        switch (mode) {
        case '0': c = static_cast<char>('0' + random() % 10); break;
        case 'A': c = alphanumeric[random() % alphanumeric.size()]; break;
        default: c = static_cast<char>(random() % 256); break;
        }
    }
    return data;
}

TQRCode Fixed(int version, char level, char mode, int mask)
{
    TQRCode code;
    code.SetAutoVersion(false);
    code.SetVersion(version);
    code.SetErrorCorrectLevel(level);
    code.SetAutoEncodeMode(false);
    code.SetEncodeMode(mode);
    code.SetAutoMask(false);
    code.SetMaskNo(mask);
    return code;
}

// The largest count of characters the version holds, found through the encoder's own fit check.
int Capacity(int version, char level, char mode)
{
    TQRCode code = Fixed(version, level, mode, 0);
    int low = 0, high = 7100;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        code.SetData(QByteArray(middle, mode == '8' ? 'x' : '1'));
        if (code.Problem() == TQRProblem::qpNone)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

QByteArray Modules(const TQRCode& code)
{
    QByteArray modules;
    modules.reserve(code.Side() * code.Side());
    for (int row = 0; row < code.Side(); ++row)
        for (int column = 0; column < code.Side(); ++column) modules.append(code.IsDark(column, row) ? '1' : '0');
    return modules;
}

struct TCase {
    int version = 0;  // 0: automatic version, no mask
    char level;
    char mode;
    int mask;
    QByteArray data;
};

QByteArray RequestLine(const TCase& c)
{
    const QByteArray version = c.version ? QByteArray::number(c.version) : QByteArray("auto");
    const QByteArray mask = c.version ? QByteArray::number(c.mask) : QByteArray("-");
    const QByteArray data = c.data.isEmpty() ? QByteArray("-") : c.data.toHex();
    return version + ' ' + c.level + ' ' + c.mode + ' ' + mask + ' ' + data + '\n';
}

// segno's answer for every case, the work shared between a few processes.
QList<QByteArray> SegnoAnswers(const std::vector<TCase>& cases)
{
    const QString script = QStringLiteral(KESTREL_TEST_SOURCE_DIR "/support/scripts/segno_matrices.py");
    std::vector<std::unique_ptr<QProcess>> processes;
    const size_t share = (cases.size() + kScriptProcesses - 1) / kScriptProcesses;
    for (size_t first = 0; first < cases.size(); first += share) {
        auto& process = processes.emplace_back(std::make_unique<QProcess>());
        process->start(QStringLiteral("/usr/bin/python3"), {script});
        QByteArray input;
        for (size_t i = first; i < std::min(cases.size(), first + share); ++i) input += RequestLine(cases[i]);
        process->write(input);
        process->closeWriteChannel();
    }
    QList<QByteArray> answers;
    for (auto& process : processes) {
        EXPECT_TRUE(process->waitForFinished(600000)) << process->errorString().toStdString();
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
        QList<QByteArray> lines = process->readAllStandardOutput().split('\n');
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
        answers += lines;
    }
    return answers;
}

QByteArray OurAnswer(const TCase& c)
{
    if (!c.version) {
        TQRCode code = Fixed(1, c.level, c.mode, 0);
        code.SetAutoVersion(true);
        code.SetData(c.data);
        return code.Problem() == TQRProblem::qpNone ? QByteArray("V") + QByteArray::number(code.Version()) : QByteArray("OVERFLOW");
    }
    TQRCode code = Fixed(c.version, c.level, c.mode, c.mask);
    code.SetData(c.data);
    return code.Encode() ? Modules(code) : QByteArray("OVERFLOW");
}

std::vector<TCase> BoundaryCases()
{
    std::mt19937 random(20261209);
    std::vector<TCase> cases;
    for (const char level : kLevels) {
        for (const char mode : kModes) {
            for (int version = 1; version <= 40; ++version) {
                const int capacity = Capacity(version, level, mode);
                for (int mask = 0; mask < 8; ++mask)
                    cases.push_back({version, level, mode, mask, RandomData(mode, capacity, random)});
                cases.push_back({version, level, mode, 0, RandomData(mode, capacity + 1, random)});
                cases.push_back({0, level, mode, 0, RandomData(mode, capacity, random)});
                cases.push_back({0, level, mode, 0, RandomData(mode, capacity + 1, random)});
            }
        }
    }
    return cases;
}

TEST(QRSweep, EverySymbolAtEveryCapacityBoundaryEqualsSegnoModuleForModule)
{
    const std::vector<TCase> cases = BoundaryCases();
    const QList<QByteArray> answers = SegnoAnswers(cases);
    ASSERT_EQ(answers.size(), qsizetype(cases.size()));
    int mismatches = 0;
    for (size_t i = 0; i < cases.size() && mismatches < kMaxReportedMismatches; ++i) {
        const TCase& c = cases[i];
        const QByteArray ours = OurAnswer(c);
        if (ours == answers[qsizetype(i)]) continue;
        ++mismatches;
        ADD_FAILURE() << "version " << c.version << " level " << c.level << " mode " << c.mode << " mask " << c.mask
                      << " bytes " << c.data.size() << ": ours " << ours.left(40).toStdString() << " segno "
                      << answers[qsizetype(i)].left(40).toStdString();
    }
}

}  // namespace
}  // namespace kestrel
