// The editor killed with unsaved changes in both map windows: started again,
// it offers the journals, restores them, and "Save map" then writes files
// byte for byte as a "Save map" before the kill would have written them,
// and the restored edits are named in the Edit menu as before the kill.
// The editor runs as a process of its own (tests/app/driver), on the
// offscreen platform, doing its edits through the windows' handlers.
#include <QDir>
#include <QProcess>
#include <QTest>
#include <cstdlib>

#include "demo/Demo.h"
#include "shell/RecoveryDirectory.h"
#include "support/Digest.h"
#include "support/TempDir.h"
#include "support/ui/TestMain.h"

using namespace ketral;
using ketral::testing::ReadFileBytes;
using ketral::testing::TempDir;
using ketral::testing::TreeDigests;

class RecoveryKillTest : public QObject {
    Q_OBJECT

    // Runs the driver in `mode` on `game` with its journals under `state`.
    static void Start(QProcess& p, const std::string& mode, const std::string& game, const std::string& state)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_STATE_HOME"), QString::fromStdString(state));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        const char* driver = std::getenv("KETRAL_RECOVERY_DRIVER");
        QVERIFY2(driver, "KETRAL_RECOVERY_DRIVER names the test driver");
        p.start(QString::fromLocal8Bit(driver), {QString::fromStdString(mode), QString::fromStdString(game)});
        QVERIFY(p.waitForStarted());
    }

    static QByteArray RunToEnd(const std::string& mode, const std::string& game, const std::string& state)
    {
        QProcess p;
        Start(p, mode, game, state);
        if (!p.waitForFinished(90000)) return "did not end";
        const QByteArray out = p.readAllStandardOutput();
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return "failed: " + out + p.readAllStandardError();
        return out;
    }

    static std::vector<std::string> JournalsIn(const std::string& state)
    {
        ::setenv("XDG_STATE_HOME", state.c_str(), 1);
        std::vector<std::string> paths;
        for (const JournalListing& j : ListJournals()) {
            if (j.inUse) paths.push_back("in use: " + j.path);
            else paths.push_back(j.path);
        }
        return paths;
    }

private slots:
    void killedAndRestoredTheFilesAreThoseASaveWouldHaveWritten()
    {
        TempDir dir;
        const std::string killed = WriteDemoInstallation(dir / "killed");
        const std::string saved = WriteDemoInstallation(dir / "saved");
        const std::string pristine = WriteDemoInstallation(dir / "pristine");
        const std::string state = dir / "state";

        QByteArray stepsBefore;  // what the editor printed before it was killed
        {
            QProcess editor;
            Start(editor, "edit", killed, state);
            QByteArray out;
            while (!out.contains("journalled") && editor.waitForReadyRead(60000)) out += editor.readAllStandardOutput();
            QVERIFY2(out.contains("journalled"), editor.readAllStandardError().constData());
            stepsBefore = out;
            editor.kill();  // SIGKILL
            QVERIFY(editor.waitForFinished());
        }
        const std::vector<std::string> left = JournalsIn(state);
        QCOMPARE(left.size(), std::size_t(2));
        for (const std::string& j : left) QVERIFY2(j.rfind("in use", 0) != 0, j.c_str());
        // The kill changed no game file.
        QVERIFY(TreeDigests(killed) == TreeDigests(pristine));

        const QByteArray restored = RunToEnd("restore", killed, state);
        QVERIFY2(restored.contains("saved"), restored.constData());
        // A placed tile and a drag's paint are "Paint" again, not "Recovered edit".
        const QByteArray names = "steps: [Paint|Resize|Paint] [Paint|Building|Paint]\n";
        QVERIFY2(stepsBefore.contains(names), stepsBefore.constData());
        QVERIFY2(restored.contains(names), restored.constData());
        QVERIFY(restored.contains("asked: Ketral ended while pier had unsaved changes ("));
        QVERIFY(restored.contains("asked: Ketral ended while Citymap1 had unsaved changes ("));
        QVERIFY(JournalsIn(state).empty());
        // Nothing of the killed editor's journals stays, their lock files neither.
        const QDir recovery(QString::fromStdString(RecoveryDirectory()));  // XDG_STATE_HOME is `state` now
        QVERIFY(recovery.exists());
        const QStringList leftFiles = recovery.entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(leftFiles.isEmpty(), qPrintable(leftFiles.join(QLatin1Char(' '))));

        const QByteArray reference = RunToEnd("save", saved, dir / "state-saved");
        QVERIFY2(reference.contains("saved"), reference.constData());

        const auto got = TreeDigests(killed), want = TreeDigests(saved), before = TreeDigests(pristine);
        QVERIFY(got == want);
        // Every kind of edit reached the files: cells and sizes of the
        // tactical map, cells and buildings of the city map.
        for (const char* file : {"maps/Harbour/pier.smp", "maps/Harbour/pier.sdt", "vyxdata/Citymap1",
                                 "vyxdata/CITYMAP1.bld"})
            QVERIFY2(got.at(file) != before.at(file), file);
    }
};

KETRAL_TEST_MAIN(RecoveryKillTest)
#include "RecoveryKillTest.moc"
