// Saving survives a killed process: a child saves, SIGKILL hits it at a random moment, and the
// target must then hold the complete old or the complete new file, never a mix or nothing; the
// next successful save leaves no temporary file behind.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include "LabelDocumentFixtures.h"
#include "document/DOGroup.h"
#include "paper/CatalogueStartup.h"
#include "paper/PaperRecords.h"
#include "paper/ProductDB.h"
#include "support/TestEnvironment.h"

namespace kestrel {
namespace {

constexpr int Trials = 200;

// What a kill test needs of one file kind: write version 0 or 1 to the target, and tell which
// version the target holds (-1: unreadable or neither).
struct TSaveSubject {
    QString target;
    std::function<void(int version)> save;
    std::function<int()> storedVersion;
};

// Runs save(version) in a child; kills it after delay unless that is negative. Returns how long
// the child lived.
std::chrono::microseconds SaveInChild(const TSaveSubject& subject, int version, std::chrono::microseconds delay)
{
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child == 0) {
        try {
            subject.save(version);
        } catch (...) {
            _exit(2);
        }
        _exit(0);
    }
    if (child < 0) return {};
    if (delay.count() >= 0) {
        std::this_thread::sleep_for(delay);
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return std::chrono::microseconds(timer.nsecsElapsed() / 1000);
}

QStringList FolderEntries(const QString& target)
{
    return QDir(QFileInfo(target).absolutePath()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
}

void RunKillTrials(const TSaveSubject& subject)
{
    subject.save(0);
    ASSERT_EQ(subject.storedVersion(), 0);
    // Kill times spread over a whole save, fork included, and a little past its end.
    std::chrono::microseconds longest{};
    for (int i = 0; i < 3; ++i) longest = std::max(longest, SaveInChild(subject, 1, std::chrono::microseconds(-1)));
    ASSERT_EQ(subject.storedVersion(), 1);
    std::mt19937 random(20261209);
    std::uniform_int_distribution<long> delay(0, longest.count() * 6 / 5);
    int stored = 1;
    int completed = 0;
    for (int trial = 0; trial < Trials; ++trial) {
        const int saving = 1 - stored;
        SaveInChild(subject, saving, std::chrono::microseconds(delay(random)));
        const int found = subject.storedVersion();
        ASSERT_TRUE(found == stored || found == saving) << "trial " << trial << ": found " << found;
        completed += found == saving;
        stored = found;
    }
    // Both outcomes must have happened, or the kills never met a save in progress.
    EXPECT_GT(completed, 0);
    EXPECT_LT(completed, Trials);
    subject.save(1 - stored);
    EXPECT_EQ(subject.storedVersion(), 1 - stored);
    EXPECT_EQ(FolderEntries(subject.target), QStringList{QFileInfo(subject.target).fileName()});
}

QString TargetIn(const QString& name)
{
    const QString folder = test::TestFolder() + QStringLiteral("/target");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + name;
}

// Sheets of groups, with previews: a few hundred kilobytes.
std::unique_ptr<TLabelData> LargeDocument(const QString& name)
{
    auto document = std::make_unique<TLabelData>();
    document->SetPaper(*test::SquarePaper(3));
    document->SetDataName(name);
    for (int sheet = 0; sheet < 8; ++sheet) {
        if (sheet > 0) document->NewSheet();
        for (int face = 0; face < document->FaceCount(); ++face) {
            std::vector<std::unique_ptr<TDOGroup>> groups;
            TDOList list;
            for (int i = 0; i < 40; ++i) {
                groups.push_back(std::make_unique<TDOGroup>());
                groups.back()->SetBlendRatio(i);
                list.Add(*groups.back());
            }
            document->SaveFaceObjects(face, list);
        }
    }
    // Previews are rendered by the first save, on worker threads a forked child does not have.
    document->SaveToFile(test::TestFolder() + QStringLiteral("/first-") + name + QStringLiteral(".mld"));
    return document;
}

TEST(KilledSave, TheDocumentIsEitherTheOldOrTheNewOne)
{
    const std::unique_ptr<TLabelData> versions[] = {LargeDocument("old"), LargeDocument("new")};
    TSaveSubject subject;
    subject.target = TargetIn(QStringLiteral("document.mld"));
    subject.save = [&](int version) { versions[version]->SaveToFile(subject.target); };
    subject.storedVersion = [&] {
        try {
            TLabelData stored;
            stored.LoadFromFile(subject.target);
            if (stored.SheetCount() != 8) return -1;
            return stored.DataName() == "old" ? 0 : stored.DataName() == "new" ? 1 : -1;
        } catch (const EKestrel&) {
            return -1;
        }
    };
    RunKillTrials(subject);
}

TEST(KilledSave, TheUserPaperCatalogueIsEitherTheOldOrTheNewOne)
{
    TSaveSubject subject;
    subject.target = TargetIn(QStringLiteral("UserPaper.ppr"));
    const QString system = test::TestFolder() + QStringLiteral("/system.ppr");
    TPaperCatalogue catalogues[2];
    for (int version = 0; version < 2; ++version) {
        TPapersV2 file(catalogues[version].IO());
        file.Create(system + QString::number(version));
        for (int i = 0; i < 60; ++i) {
            std::unique_ptr<TMatrixPaperInfo> paper = test::SquarePaper(1 + i % 4);
            paper->SetPaperName(QStringLiteral("v%1 用紙 %2").arg(version).arg(i));
            file.Store(*paper);
        }
        file.Close();
        catalogues[version].OpenSystem(system + QString::number(version));
    }
    subject.save = [&](int version) {
        catalogues[version].Catalogue()->SetModified(true);
        catalogues[version].SaveUser(subject.target);
    };
    subject.storedVersion = [&] {
        try {
            TPaperCatalogue stored;
            stored.OpenSystem(subject.target);
            const TPapersV2& papers = *stored.Catalogue();
            if (papers.Count() != 60) return -1;
            return papers.Paper(0).PaperName().startsWith("v0") ? 0 : papers.Paper(0).PaperName().startsWith("v1") ? 1 : -1;
        } catch (const EKestrel&) {
            return -1;
        }
    };
    RunKillTrials(subject);
}

TEST(KilledSave, TheProductDatabaseIsEitherTheOldOrTheNewOne)
{
    TSaveSubject subject;
    subject.target = TargetIn(QStringLiteral("kestrel.cdb"));
    std::unique_ptr<TProductDB> versions[2];
    for (int version = 0; version < 2; ++version) {
        versions[version] = std::make_unique<TProductDB>(QString(), subject.target);
        versions[version]->Create();
        for (int i = 0; i < 100; ++i) {
            TProductInfo product;
            product.Items().Item(0).SetInfo({QStringLiteral("v%1 製品 %2").arg(version).arg(i)});
            versions[version]->Store(product);
        }
    }
    subject.save = [&](int version) { versions[version]->Save(); };
    subject.storedVersion = [&] {
        try {
            TProductDB stored(QString(), subject.target);
            stored.Load();
            if (stored.ProductCount() != 100) return -1;
            TProductInfo product;
            stored.ReadProduct(99, product);
            const QString info = product.Items().Item(0).Info().value(0);
            return info.startsWith("v0") ? 0 : info.startsWith("v1") ? 1 : -1;
        } catch (const EKestrel&) {
            return -1;
        }
    };
    RunKillTrials(subject);
}

}  // namespace
}  // namespace kestrel
